#pragma once

#include <QDialog>
#include <QString>

namespace warenkai {

class WebOpener;

// The maker's details shown in the About box.
inline constexpr const char* kMakerName = "Warenkai Software GmbH";
inline constexpr const char* kMakerStreet = "Kaistraße 7";
inline constexpr const char* kMakerTown = "20457 Hamburg";
inline constexpr const char* kMakerWebAddress = "https://www.warenkai.example/";

// The program's version from the build, as major.minor.revision.
QString ProgramVersion();
// The program file's name without its extension.
QString ProgramName();

// The About box "Info": program, version, rights holder, legal notice, the maker's address and web
// address, and the maker's picture. It has no button; the close box closes it.
class Info : public QDialog {
    Q_OBJECT
public:
    Info(WebOpener& web, QWidget* owner);
};

}  // namespace warenkai
