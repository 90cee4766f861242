#pragma once

#include <QMainWindow>

namespace warenkai {

class Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Main(QWidget* parent = nullptr);
};

}  // namespace warenkai
