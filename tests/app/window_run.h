// What the window tests share: the main window over a fresh program folder, with scripted dialogs, a
// journaling web opener, and transfers that count their runs and do what the test puts in
// `duringTransfer`. The widgets are found by their object names.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QtTest>
#include <QtWidgets>

#include "app/main_window.h"
#include "common/transfer_context.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {

using Lines = std::vector<std::string>;

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// One run of the window over a fresh program folder, with scripted dialogs and counting transfers.
struct Run {
    QTemporaryDir folder;
    Journal journal;
    ScriptedDialogs dialogs{journal};
    RecordingWebOpener web{journal};
    std::filesystem::path selectlineFolder;
    int articleRuns = 0;
    int pictureRuns = 0;
    int importRuns = 0;
    std::function<void(const Settings&, TransferContext&)> duringTransfer;
    std::unique_ptr<Main> window;

    std::filesystem::path Path() const { return std::filesystem::path(folder.path().toStdString()); }
    std::filesystem::path SettingsFile() const { return Path() / kSettingsFileName; }
    Lines Shown() const { return journal.Entries(); }

    void Start() {
        MainServices services;
        const auto counting = [this](int& runs) {
            return [this, &runs](const Settings& settings, TransferContext& context) {
                ++runs;
                if (duringTransfer) {
                    duringTransfer(settings, context);
                }
                return TransferOutcome::Completed;
            };
        };
        services.articleTransfer = counting(articleRuns);
        services.pictureUpload = counting(pictureRuns);
        services.customerOrderImport = counting(importRuns);
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
    QLineEdit* Text1(int element) { return window->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(element)); }
    QTableWidget* Grid() { return Get<QTableWidget>("MSHFlexGrid1_0"); }
    QString Cell(int mappingRow, int column) { return Grid()->item(mappingRow - 1, column)->text(); }

    // Shows the window on the tab "Artikel" and clicks the grid cell of mapping row `mappingRow`.
    void ClickCell(int mappingRow, int column) {
        window->show();
        Get<QTabWidget>("SSTab1")->setCurrentIndex(1);
        Get<QTabWidget>("SSTab2")->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTableWidgetItem* item = Grid()->item(mappingRow - 1, column);
        Grid()->scrollToItem(item);
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualItemRect(item).center());
    }
    void SelectField(const QString& name) {
        const auto found = Get<QListWidget>("List1_0")->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        Get<QListWidget>("List1_0")->setCurrentItem(found.front());
    }
    // Clicks `button` with the mouse, as the user does (it must be on the tab shown).
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
    // Runs a transfer button's transfer to its end.
    void Transfer(const char* button) {
        Click(button);
        WaitForTransferEnd();
    }
    void WaitForTransferEnd() {
        QTRY_VERIFY_WITH_TIMEOUT(
            Get<QPushButton>("Command3")->isEnabled() && !Get<QPushButton>("Abbrechen")->isEnabled(), 20000);
    }
    QAction* MenuEntry(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
};

}  // namespace warenkai::test
