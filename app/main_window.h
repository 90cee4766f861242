#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QString>

#include "app/main_services.h"
#include "common/transfer_lock.h"
#include "mapping/field_mapping.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace warenkai {

class QtStatusArea;
class TransferThread;
struct Settings;

// The program's window "Warenkai": the transfer tab with the three transfer buttons and the status
// area, and the settings tab with the FTP and shop settings and the article field mapping. The settings
// live in the controls (the mapping in a FieldMapping the grid shows) from the start-up, which reads
// "Einstellungen.ini" from `programFolder`, until the window closes and writes it back.
class Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Main(std::filesystem::path programFolder, MainServices services = {}, QWidget* parent = nullptr);
    ~Main() override;

    // The settings as the controls hold them at this moment.
    Settings CurrentSettings() const;
    // The folder last chosen with "OK" in the folder dialog during this run; empty before.
    const QString& chosenFolder() const { return m_chosenFolder; }

    // The desktop session is ending: the settings are written now, as at a close.
    void SessionEnding();
    // The program is about to end: the settings are written unless a close or the session's end
    // already wrote them.
    void ApplicationQuitting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildTransferTab();
    QWidget* BuildBasicSettingsTab();
    QWidget* BuildArticleTab();
    void BuildMenus();

    void ApplySettings(const Settings& settings);
    void RefreshGrid();
    int CurrentMappingRow() const;
    void WriteSettingsFile();

    // Command3, Command4, Command5: starts `transfer` on the transfer thread; the transfer buttons stay
    // disabled and "Abbrechen" enabled while it runs, and a close asked for meanwhile cancels it and
    // follows when it has ended.
    // `historyName` names the transfer in the run history; nullptr: not a transfer that is recorded.
    void StartTransfer(const TransferRunner& transfer, const char* historyName);
    void TransferFinished();
    void SetTransferRunning(bool running);

    void LinkClicked();
    void ClearClicked();
    void CellClicked();
    void ShowAbout();
    void ShowRunHistory();
    void BrowseFolder();

    UserDialogs& Dialogs();
    WebOpener& Web();

    std::filesystem::path m_programFolder;
    MainServices m_services;
    FieldMapping m_mapping;
    QString m_chosenFolder;

    QTabWidget* m_tabs1 = nullptr;
    QTabWidget* m_tabs2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_connectionCheck = nullptr;
    QLabel* m_statustext = nullptr;
    QLabel* m_result = nullptr;
    QListWidget* m_list2 = nullptr;
    QProgressBar* m_progressBar3 = nullptr;
    std::array<QLineEdit*, 6> m_text1{};
    std::array<QCheckBox*, 2> m_check2{};
    QCheckBox* m_check1 = nullptr;
    QTableWidget* m_grid = nullptr;
    QListWidget* m_list1 = nullptr;

    std::unique_ptr<QtStatusArea> m_status;
    std::unique_ptr<UserDialogs> m_ownDialogs;
    std::unique_ptr<WebOpener> m_ownWeb;
    SelectlineFactory m_selectline;
    // After the status area, dialogs and web opener, which a running transfer still uses while this
    // waits for it to end.
    std::unique_ptr<TransferThread> m_transfers;
    std::optional<TransferLock> m_lock;  // held while a transfer runs

    bool m_closePending = false;  // a close was asked for while a transfer ran
    bool m_closed = false;        // a close has written the settings
    bool m_savedAtSessionEnd = false;
};

}  // namespace warenkai
