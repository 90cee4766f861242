// What the window tests share: the main window over a fresh program folder, with scripted dialogs, a
// journaling web opener, and transfers that count their runs and do what the test puts in
// `duringTransfer`. That runs on the transfer's thread: it only records, the test checks afterwards
// on its own thread. The widgets are found by their object names.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "app/main_window.h"
#include "common/text_file.h"
#include "settings/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/test_data.h"

namespace warenkai::test {

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
    std::string Saved() const { return ReadWholeFile(Path() / kSettingsFileName).value_or("<missing>"); }

    // Opens the window over the settings file tests/data/`settingsFile`, or over none.
    explicit Run(const std::string& settingsFile = {}) {
        QVERIFY(settingsFile.empty() || WriteFileAtomically(Path() / kSettingsFileName, TestData(settingsFile)));
        const auto counted = [this](int i) -> TransferRunner {
            return [this, i](const Settings& settings, TransferContext& context) {
                ++runs[i];
                duringTransfer(settings, context);
                return TransferOutcome::Completed;
            };
        };
        const auto selectline = [this](const std::filesystem::path& programFolder) {
            selectlineFolder = programFolder;
            return SelectlineFactory([] { return nullptr; });
        };
        window = std::make_unique<Main>(
            Path(), MainServices{counted(0), counted(1), counted(2), counted(3),
                                 [] { return std::make_unique<IdleFtpControl>(); }, selectline, &dialogs, &web});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
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
    // Runs a transfer button's transfer to its end; `click()` reaches a button on a tab not shown.
    void Transfer(const char* button) {
        Get<QPushButton>(button)->click();
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
