#include "app/window_application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/main_window.h"

namespace warenkai {

void PrepareGermanApplication(QApplication& application) {
    QApplication::setApplicationDisplayName(QStringLiteral("Warenkai"));
    // Built in as a resource, so the program needs no translation files beside it.
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral(":/translations/qtbase_de.qm"))) {
        QApplication::installTranslator(translator);
    }
}

int RunWindow(int argc, char** argv, const std::filesystem::path& programFolder) {
    QApplication application(argc, argv);
    PrepareGermanApplication(application);
    Main window(programFolder);
    window.show();
    return application.exec();
}

}  // namespace warenkai
