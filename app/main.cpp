#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    warenkai::Main window;
    window.show();
    return application.exec();
}
