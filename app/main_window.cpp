#include "app/main_window.h"

namespace warenkai {

Main::Main(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Warenkai"));
}

}  // namespace warenkai
