#include <filesystem>

#include <QApplication>
#include <QFile>

#include "app/main_window.h"

namespace {

// The folder that holds the program file; the program's own files live there.
std::filesystem::path ProgramFolder() {
    return std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

int RunWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    warenkai::Main window(ProgramFolder());
    window.show();
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    return RunWindow(argc, argv);
}
