// What the window tests share: the main window shown over a fresh program folder, with scripted
// dialogs, a journaling web opener, and transfers that count their runs and do what the test puts in
// `duringTransfer`. The widgets are found by their object names.
#pragma once

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QtTest>
#include <QtWidgets>

#include "app/main_window.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {

using Lines = std::vector<std::string>;

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("<missing>");
}

struct Run {
    QTemporaryDir folder;
    Journal journal;
    ScriptedDialogs dialogs{journal};
    RecordingWebOpener web{journal};
    std::filesystem::path selectlineFolder;
    int articleRuns = 0, pictureRuns = 0, importRuns = 0;
    std::function<void(const Settings&, TransferContext&)> duringTransfer = [](auto&, auto&) {};
    std::unique_ptr<Main> window;

    std::filesystem::path Path() const { return folder.path().toStdString(); }
    std::filesystem::path SettingsFile() const { return Path() / kSettingsFileName; }

    // Shows the window over a program folder whose settings file holds `settingsFile`, none if empty.
    explicit Run(const std::string& settingsFile = {}) {
        if (!settingsFile.empty()) {
            std::ofstream(SettingsFile(), std::ios::binary) << settingsFile;
        }
        const auto counting = [this](int& runs) {
            return [this, &runs](const Settings& settings, TransferContext& context) {
                ++runs;
                duringTransfer(settings, context);
                return TransferOutcome::Completed;
            };
        };
        MainServices services;
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
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename Child = QLineEdit>
    Child* Get(const char* name) {
        return window->findChild<Child*>(QString::fromLatin1(name));
    }
    // Clicks `button` as the user does; a button that is not enabled does nothing.
    void Click(const char* button) { Get<QPushButton>(button)->click(); }
    // Clicks `button` and waits for the transfer to end.
    void Transfer(const char* button) {
        Click(button);
        QTRY_VERIFY_WITH_TIMEOUT(
            Get<QPushButton>("Command3")->isEnabled() && !Get<QPushButton>("Abbrechen")->isEnabled(), 20000);
    }
};

}  // namespace warenkai::test
