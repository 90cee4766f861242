#include "app/main_window.h"

#include <algorithm>
#include <limits>

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include "app/about_box.h"
#include "app/folder_dialog.h"
#include "app/qt_status_area.h"
#include "app/qt_user_dialogs.h"
#include "app/qt_web_opener.h"
#include "app/transfer_thread.h"
#include "common/run_history.h"
#include "common/text_file.h"
#include "common/transfer_lock.h"
#include "export/article_transfer.h"
#include "import/customer_order_import.h"
#include "mapping/mapping_editing.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"

namespace warenkai {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

QPushButton* TransferButton(const QString& caption, const char* objectName, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), objectName);
    button->setMinimumHeight(40);
    return button;
}

}  // namespace

Main::Main(std::filesystem::path programFolder, MainServices services, QWidget* parent)
    : QMainWindow(parent),
      m_programFolder(std::move(programFolder)),
      m_services(WithProgramDefaults(std::move(services))) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Warenkai"));

    m_tabs1 = Named(new QTabWidget(this), "SSTab1");
    m_tabs1->addTab(BuildTransferTab(), QStringLiteral("Datenübertragung"));
    m_tabs2 = Named(new QTabWidget(this), "SSTab2");
    m_tabs2->addTab(BuildBasicSettingsTab(), QStringLiteral("Grundeinstellungen"));
    m_tabs2->addTab(BuildArticleTab(), QStringLiteral("Artikel"));
    auto* settingsTab = new QWidget(this);
    auto* settingsLayout = new QVBoxLayout(settingsTab);
    settingsLayout->addWidget(m_tabs2);
    m_tabs1->addTab(settingsTab, QStringLiteral("Einstellungen"));
    setCentralWidget(m_tabs1);
    BuildMenus();
    // Every field and grid column readable from the start; the window never shrinks below that.
    centralWidget()->setMinimumSize(centralWidget()->minimumSizeHint());
    resize(sizeHint().expandedTo(QSize(960, 700)));

    m_status = std::make_unique<QtStatusArea>(*m_statustext, *m_result, *m_list2, *m_progressBar3);
    if (m_services.dialogs == nullptr) {
        m_ownDialogs = std::make_unique<QtUserDialogs>(this);
    }
    if (m_services.web == nullptr) {
        m_ownWeb = std::make_unique<QtWebOpener>();
    }
    m_selectline = m_services.makeSelectline(m_programFolder);
    m_transfers = std::make_unique<TransferThread>(*this, *m_status, Dialogs(), Web());

    // Start-up: the first tabs, the grid's default rows, the field list, then the settings file.
    m_tabs1->setCurrentIndex(0);
    m_tabs2->setCurrentIndex(0);
    m_mapping = BuildDefaultMapping();
    RefreshGrid();
    m_grid->setCurrentCell(0, 1);
    for (const std::string& name : SelectlineFieldNames()) {
        m_list1->addItem(FromUtf8(name));
    }
    Settings settings = CurrentSettings();
    LoadSettings(m_programFolder / kSettingsFileName, settings);
    ApplySettings(settings);

#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SessionEnding(); });
#endif
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Main::ApplicationQuitting);
}

Main::~Main() = default;

QWidget* Main::BuildTransferTab() {
    auto* tab = new QWidget(this);
    m_command3 = TransferButton(
        QStringLiteral("Datenübertragung der Artikel und Artikelgruppen von Selectline zum Webshop"), "Command3", tab);
    m_command4 = TransferButton(QStringLiteral("Datenübertragung von Bildern in den Webshop"), "Command4", tab);
    m_command5 = TransferButton(QStringLiteral("Datenübertragung des Kundenstamms und der Bestellungen in Selectline"),
                                "Command5", tab);
    connect(m_command3, &QPushButton::clicked, this,
            [this] { StartTransfer(m_services.articleTransfer, kArticleTransferName); });
    connect(m_command4, &QPushButton::clicked, this,
            [this] { StartTransfer(m_services.pictureUpload, kPictureUploadName); });
    connect(m_command5, &QPushButton::clicked, this,
            [this] { StartTransfer(m_services.customerOrderImport, kCustomerOrderImportName); });

    auto* frame = Named(new QGroupBox(QStringLiteral("Status"), tab), "Frame1");
    m_statustext = Named(new QLabel(frame), "Statustext");
    // One line; a long status text is cut off rather than widening the window.
    m_statustext->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statustext->setTextFormat(Qt::PlainText);
    // The result of the last transfer in numbers.
    m_result = Named(new QLabel(frame), "Ergebnis");
    m_result->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_result->setTextFormat(Qt::PlainText);
    auto* errorCaption = new QLabel(QStringLiteral("Fehlermeldungen:"), frame);
    m_list2 = Named(new QListWidget(frame), "List2");
    m_progressBar3 = Named(new QProgressBar(frame), "ProgressBar3");
    m_progressBar3->setRange(0, 100);
    m_progressBar3->setValue(0);
    m_progressBar3->setTextVisible(false);

    m_cancel = Named(new QPushButton(QStringLiteral("Abbrechen"), frame), "Abbrechen");
    m_cancel->setEnabled(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_transfers->Cancel(); });
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progressBar3, 1);
    progressRow->addWidget(m_cancel);

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_statustext);
    frameLayout->addWidget(m_result);
    frameLayout->addSpacing(6);
    frameLayout->addWidget(errorCaption);
    frameLayout->addWidget(m_list2, 1);
    frameLayout->addLayout(progressRow);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(m_command3);
    layout->addWidget(m_command4);
    layout->addWidget(m_command5);
    layout->addSpacing(8);
    layout->addWidget(frame, 1);
    return tab;
}

QWidget* Main::BuildBasicSettingsTab() {
    auto* tab = new QWidget(this);
    static constexpr const char* kTextNames[] = {"Text1_0", "Text1_1", "Text1_2", "Text1_3", "Text1_4", "Text1_5"};
    for (int i = 0; i < kTextFieldCount; ++i) {
        m_text1[static_cast<std::size_t>(i)] = Named(new QLineEdit(tab), kTextNames[i]);
        // Whatever the settings file holds is shown whole.
        m_text1[static_cast<std::size_t>(i)]->setMaxLength(std::numeric_limits<int>::max());
    }

    auto* ftp = new QGroupBox(QStringLiteral("FTP"), tab);
    auto* ftpLayout = new QGridLayout(ftp);
    const auto addField = [](QGridLayout* grid, int row, const QString& caption, QLineEdit* field, QWidget* beside) {
        grid->addWidget(new QLabel(caption, field->parentWidget()), row, 0);
        grid->addWidget(field, row, 1);
        if (beside != nullptr) {
            grid->addWidget(beside, row, 2);
        }
    };
    m_text1[0]->setParent(ftp);
    m_text1[1]->setParent(ftp);
    m_text1[2]->setParent(ftp);
    m_text1[3]->setParent(ftp);
    addField(ftpLayout, 0, QStringLiteral("FTP-Server:"), m_text1[0],
             new QLabel(QStringLiteral("ohne / am Anfang und am Ende"), ftp));
    m_text1[0]->setToolTip(
        QStringLiteral("z. B. ftp.meinshop.de, ftpes://ftp.meinshop.de (TLS) oder "
                       "ftps://ftp.meinshop.de:990"));
    addField(ftpLayout, 1, QStringLiteral("Benutzername:"), m_text1[1], nullptr);
    addField(ftpLayout, 2, QStringLiteral("Passwort:"), m_text1[2], nullptr);
    // Masked; the eye in the field shows it while the user wants to read it.
    m_text1[2]->setEchoMode(QLineEdit::Password);
    QAction* showPassword =
        m_text1[2]->addAction(style()->standardIcon(QStyle::SP_DialogYesButton), QLineEdit::TrailingPosition);
    showPassword->setObjectName(QStringLiteral("PasswortZeigen"));
    showPassword->setCheckable(true);
    showPassword->setToolTip(QStringLiteral("Passwort zeigen"));
    connect(showPassword, &QAction::toggled, this, [this, showPassword](bool shown) {
        m_text1[2]->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        showPassword->setToolTip(shown ? QStringLiteral("Passwort verbergen") : QStringLiteral("Passwort zeigen"));
    });
    addField(ftpLayout, 3, QStringLiteral("Hauptverzeichnis der Webshops:"), m_text1[3],
             new QLabel(QStringLiteral("mit / am Anfang"), ftp));
    m_check2[0] = Named(new QCheckBox(QStringLiteral("Synchrone Datenübertragung"), ftp), "Check2_0");
    m_check2[1] = Named(new QCheckBox(QStringLiteral("Passiv Modus"), ftp), "Check2_1");
    ftpLayout->addWidget(m_check2[0], 4, 1, 1, 2);
    ftpLayout->addWidget(m_check2[1], 5, 1, 1, 2);
    ftpLayout->setColumnStretch(1, 1);

    auto* link = new QGroupBox(QStringLiteral("Link zum Webshop"), tab);
    auto* linkLayout = new QGridLayout(link);
    m_text1[4]->setParent(link);
    addField(linkLayout, 0, QStringLiteral("Link zum Webshop:"), m_text1[4], nullptr);
    linkLayout->setColumnStretch(1, 1);

    auto* pictures = new QGroupBox(QStringLiteral("Bilder"), tab);
    auto* picturesLayout = new QGridLayout(pictures);
    m_text1[5]->setParent(pictures);
    auto* browse = Named(new QPushButton(QStringLiteral("Durchsuchen"), pictures), "Command6");
    connect(browse, &QPushButton::clicked, this, &Main::BrowseFolder);
    addField(picturesLayout, 0, QStringLiteral("Pfad zum Ordner mit Bildern:"), m_text1[5], browse);
    picturesLayout->setColumnStretch(1, 1);

    // Logs in with the fields as they stand and asks the shop link, on the transfer thread.
    m_connectionCheck = Named(new QPushButton(QStringLiteral("Verbindung testen"), tab), "VerbindungTesten");
    connect(m_connectionCheck, &QPushButton::clicked, this, [this] { StartTransfer(m_services.connectionCheck, {}); });

    // The captions of the three frames' fields line up.
    int captionWidth = 0;
    for (QGridLayout* grid : {ftpLayout, linkLayout, picturesLayout}) {
        captionWidth = std::max(captionWidth, grid->itemAtPosition(0, 0)->widget()->sizeHint().width());
    }
    captionWidth = std::max(captionWidth, ftpLayout->itemAtPosition(3, 0)->widget()->sizeHint().width());
    for (QGridLayout* grid : {ftpLayout, linkLayout, picturesLayout}) {
        grid->setColumnMinimumWidth(0, captionWidth);
    }

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(ftp);
    layout->addWidget(link);
    layout->addWidget(pictures);
    layout->addWidget(m_connectionCheck, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return tab;
}

QWidget* Main::BuildArticleTab() {
    auto* tab = new QWidget(this);
    m_grid = Named(new QTableWidget(kMappingRowCount, kMappingColumnCount, tab), "MSHFlexGrid1_0");
    QStringList captions;
    for (const std::string& caption : MappingColumnCaptions()) {
        captions << FromUtf8(caption);
    }
    m_grid->setHorizontalHeaderLabels(captions);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    // Four columns of equal width across the grid.
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setTabKeyNavigation(false);
    m_grid->setWordWrap(false);
    for (int row = 0; row < kMappingRowCount; ++row) {
        for (int column = 0; column < kMappingColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            if (column == 0) {
                // The fixed column: shown like a caption, and never the current cell (neither a click
                // nor the keyboard moves onto a cell that is not enabled).
                item->setFlags(Qt::NoItemFlags);
                item->setBackground(m_grid->palette().button());
                item->setForeground(m_grid->palette().buttonText());
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            m_grid->setItem(row, column, item);
        }
    }
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column == 0) {
            m_grid->setCurrentCell(row, 1);
        }
    });
    connect(m_grid, &QTableWidget::cellClicked, this, &Main::CellClicked);

    m_list1 = Named(new QListWidget(tab), "List1_0");
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* link = Named(new QPushButton(QStringLiteral("Verbinden"), tab), "Command1_0");
    auto* clear = Named(new QPushButton(QStringLiteral("Zeile löschen"), tab), "Command2_0");
    connect(link, &QPushButton::clicked, this, &Main::LinkClicked);
    connect(clear, &QPushButton::clicked, this, &Main::ClearClicked);
    m_check1 = Named(new QCheckBox(QStringLiteral("Nur Artikel importieren die Shopaktiv sind"), tab), "Check1_0");

    auto* layout = new QGridLayout(tab);
    layout->addWidget(new QLabel(QStringLiteral("Spalten Webshop:"), tab), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Spalten Selectline:"), tab), 0, 1);
    layout->addWidget(m_grid, 1, 0, 3, 1);
    layout->addWidget(m_list1, 1, 1);
    layout->addWidget(link, 2, 1);
    layout->addWidget(clear, 3, 1);
    layout->addWidget(m_check1, 4, 0, 1, 2);
    layout->addWidget(
        new QLabel(QStringLiteral("Es werden nur Artikel übertragen die einer Artikelgruppe zugehörig sind"), tab), 5,
        0, 1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    return tab;
}

void Main::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->setObjectName(QStringLiteral("Datei"));
    QAction* history = file->addAction(QStringLiteral("Protokoll anzeigen"));
    history->setObjectName(QStringLiteral("ProtokollAnzeigen"));
    connect(history, &QAction::triggered, this, &Main::ShowRunHistory);
    QAction* quit = file->addAction(QStringLiteral("Beenden"));
    quit->setObjectName(QStringLiteral("Beenden"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    help->setObjectName(QStringLiteral("Hilfe"));
    QAction* info = help->addAction(QStringLiteral("Info"));
    info->setObjectName(QStringLiteral("InfoMenu"));
    connect(info, &QAction::triggered, this, &Main::ShowAbout);
}

Settings Main::CurrentSettings() const {
    Settings settings;
    for (int i = 0; i < kTextFieldCount; ++i) {
        settings.Text(i) = m_text1[static_cast<std::size_t>(i)]->text().toStdString();
    }
    settings.onlyShopActive = m_check1->isChecked();
    settings.synchronousTransfer = m_check2[0]->isChecked();
    settings.passiveMode = m_check2[1]->isChecked();
    settings.mapping = m_mapping;
    return settings;
}

void Main::ApplySettings(const Settings& settings) {
    for (int i = 0; i < kTextFieldCount; ++i) {
        m_text1[static_cast<std::size_t>(i)]->setText(FromUtf8(settings.Text(i)));
    }
    m_check1->setChecked(settings.onlyShopActive);
    m_check2[0]->setChecked(settings.synchronousTransfer);
    m_check2[1]->setChecked(settings.passiveMode);
    m_mapping = settings.mapping;
    RefreshGrid();
}

void Main::RefreshGrid() {
    const int rows = std::min(static_cast<int>(m_mapping.size()), m_grid->rowCount());
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kMappingColumnCount; ++column) {
            m_grid->item(row, column)->setText(FromUtf8(MappingCell(m_mapping[static_cast<std::size_t>(row)], column)));
        }
    }
}

int Main::CurrentMappingRow() const {
    // Grid row 0 of the table is mapping row 1; the captions are the table's header.
    return m_grid->currentRow() + 1;
}

void Main::WriteSettingsFile() {
    // Silent: a settings file that cannot be written loses this run's changes and nothing else.
    SaveSettings(m_programFolder / kSettingsFileName, CurrentSettings());
}

void Main::closeEvent(QCloseEvent* event) {
    if (m_transfers->Running()) {
        // The transfer stops at its next safe point; the window closes as soon as it has ended.
        m_closePending = true;
        m_transfers->Cancel();
        event->ignore();
        return;
    }
    WriteSettingsFile();
    m_closed = true;
    event->accept();
}

void Main::SessionEnding() {
    // The session may end the program before a running transfer does, so this does not wait.
    WriteSettingsFile();
    m_savedAtSessionEnd = true;
}

void Main::ApplicationQuitting() {
    if (!m_closed && !m_savedAtSessionEnd) {
        WriteSettingsFile();
        m_closed = true;
    }
}

void Main::StartTransfer(const TransferRunner& transfer, const char* historyName) {
    if (m_transfers->Running()) {
        return;
    }
    // A transfer started from the command line on the same program folder shares its files and its
    // Selectline database; the later one is refused.
    TransferLock lock(m_programFolder);
    if (!lock.Held()) {
        Dialogs().ShowMessage(lock.RefusalText());
        return;
    }
    m_lock = std::move(lock);
    SetTransferRunning(true);
    m_transfers->Start(TransferJob{transfer, CurrentSettings(), m_services.makeFtpControl, m_selectline,
                                   m_programFolder, historyName == nullptr ? std::string() : std::string(historyName)},
                       [this](TransferOutcome) { TransferFinished(); });
}

void Main::TransferFinished() {
    m_lock.reset();
    SetTransferRunning(false);
    if (m_closePending) {
        m_closePending = false;
        close();
    }
}

void Main::SetTransferRunning(bool running) {
    m_command3->setEnabled(!running);
    m_command4->setEnabled(!running);
    m_command5->setEnabled(!running);
    m_connectionCheck->setEnabled(!running);
    m_cancel->setEnabled(running);
}

void Main::LinkClicked() {
    const QList<QListWidgetItem*> selected = m_list1->selectedItems();
    const std::string name = selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
    LinkSelectlineField(m_mapping, CurrentMappingRow(), name, Dialogs());
    RefreshGrid();
}

void Main::ClearClicked() {
    ClearMappingRow(m_mapping, CurrentMappingRow(), Dialogs());
    RefreshGrid();
}

void Main::CellClicked() {
    MappingCellClicked(m_mapping, CurrentMappingRow(), m_grid->currentColumn(), Dialogs());
    RefreshGrid();
}

void Main::ShowRunHistory() {
    // The history as it stands now; a transfer that runs meanwhile is added when it has ended.
    const auto bytes = ReadWholeFile(m_programFolder / kRunHistoryFileName, 4 * kRunHistoryLimit);
    const std::string text = bytes ? RunHistoryNewestFirst(*bytes) : std::string();
    auto* dialog = Named(new QDialog(this), "Protokoll");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Protokoll"));
    auto* view = Named(new QPlainTextEdit(dialog), "ProtokollText");
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlainText(text.empty() ? QStringLiteral("Es wurde noch keine Übertragung protokolliert.")
                                    : FromUtf8(text));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(close, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(view);
    layout->addWidget(close);
    dialog->resize(760, 480);
    dialog->show();
}

void Main::ShowAbout() {
    Info box(Web(), this);
    box.exec();
}

void Main::BrowseFolder() {
    // Only a folder chosen with "OK" replaces the field; "Abbrechen" or the close box leave it.
    Durchsuchen dialog(m_chosenFolder, this, m_text1[5]->text());
    if (dialog.exec() == QDialog::Accepted) {
        m_text1[5]->setText(m_chosenFolder);
    }
}

UserDialogs& Main::Dialogs() {
    return m_services.dialogs != nullptr ? *m_services.dialogs : *m_ownDialogs;
}

WebOpener& Main::Web() {
    return m_services.web != nullptr ? *m_services.web : *m_ownWeb;
}

}  // namespace warenkai
