// What the window tests share: the main window over a fresh program folder, with scripted dialogs, a
// journaling web opener, and transfers that count their runs and do what the test puts in
// `duringTransfer`. That runs on the transfer's thread: it only records, the test checks afterwards
// on its own thread. The widgets are found by their object names.
#pragma once

#include <string>
#include <vector>

#include <QtTest>
#include <QtWidgets>

#include "app/main_window.h"
#include "common/text_file.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {

using Lines = std::vector<std::string>;

struct Run {
    QTemporaryDir folder;
    Journal journal;
    ScriptedDialogs dialogs{journal};
    RecordingWebOpener web{journal};
    std::filesystem::path selectlineFolder;
    std::vector<int> runs = std::vector<int>(4);  // Command3, Command4, Command5, "Verbindung testen"
    std::function<void(const Settings&, TransferContext&)> duringTransfer = [](const Settings&, TransferContext&) {};
    std::unique_ptr<Main> window;

    std::filesystem::path Path() const { return folder.path().toStdString(); }
    std::filesystem::path SettingsFile() const { return Path() / kSettingsFileName; }
    std::string Saved() const { return ReadWholeFile(SettingsFile()).value_or("<missing>"); }

    void Start() {
        MainServices services;
        TransferRunner* transfers[] = {&services.articleTransfer, &services.pictureUpload,
                                       &services.customerOrderImport, &services.connectionCheck};
        for (std::size_t i = 0; i < runs.size(); ++i) {
            *transfers[i] = [this, i](const Settings& settings, TransferContext& context) {
                ++runs[i];
                duringTransfer(settings, context);
                return TransferOutcome::Completed;
            };
        }
        services.makeFtpControl = [] { return std::make_unique<IdleFtpControl>(); };
        services.makeSelectline = [this](const std::filesystem::path& programFolder) -> SelectlineFactory {
            selectlineFolder = programFolder;
            return [] { return std::unique_ptr<SelectlineApplication>(); };
        };
        services.dialogs = &dialogs;
        services.web = &web;
        window = std::make_unique<Main>(Path(), std::move(services));
    }

    template <typename Widget = QLineEdit>
    Widget* Get(const char* name) {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    QTableWidget* Grid() { return Get<QTableWidget>("MSHFlexGrid1_0"); }

    // Clicks the grid cell of mapping row `mappingRow` (the tab "Artikel" must be shown).
    void ClickCell(int mappingRow, int column) {
        QTableWidgetItem* item = Grid()->item(mappingRow - 1, column);
        Grid()->scrollToItem(item);
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualItemRect(item).center());
    }
    // Clicks `button` with the mouse, as the user does (it must be on the tab shown).
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
    // Runs a transfer button's transfer to its end.
    void Transfer(const char* button) {
        Click(button);
        WaitForTransferEnd();
    }
    // The transfer area as it stands: "status text|result|progress|error lines|buttons", the buttons
    // Command3, Command4, Command5, "Verbindung testen" and "Abbrechen" as 1 (enabled) or 0.
    QString Area() {
        QString buttons;
        for (const char* name : {"Command3", "Command4", "Command5", "VerbindungTesten", "Abbrechen"}) {
            buttons += Get<QPushButton>(name)->isEnabled() ? u'1' : u'0';
        }
        return QStringList{Get<QLabel>("Statustext")->text(), Get<QLabel>("Ergebnis")->text(),
                           QString::number(Get<QProgressBar>("ProgressBar3")->value()),
                           QString::number(Get<QListWidget>("List2")->count()), buttons}
            .join(u'|');
    }
    void WaitForTransferEnd() { QTRY_VERIFY_WITH_TIMEOUT(Area().endsWith(QStringLiteral("|11110")), 20000); }
};

}  // namespace warenkai::test
