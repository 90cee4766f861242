// The About box, the folder dialog, and the Qt side of the status area, the dialogs and the event loop.
#include <filesystem>
#include <memory>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "app/about_box.h"
#include "app/folder_dialog.h"
#include "app/main_window.h"
#include "app/maker_picture.h"
#include "app/qt_status_area.h"
#include "app/qt_user_dialogs.h"
#include "app/window_application.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {
namespace {

// Runs `inspect` on the modal window that the next call opens (the call itself blocks in the window's
// own event loop), then closes that window if `inspect` left it open, so a failed check cannot leave a
// test waiting for ever. Returns a flag that tells whether a modal window was seen.
std::shared_ptr<bool> WhenModalOpens(std::function<void(QWidget& modal)> inspect) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, seen, inspect = std::move(inspect), triesLeft = 500]() mutable {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal == nullptr && --triesLeft > 0) {
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         if (modal == nullptr) {
                             return;
                         }
                         *seen = true;
                         QPointer<QWidget> guard(modal);
                         inspect(*modal);
                         if (guard && guard->isVisible()) {
                             guard->close();
                         }
                     });
    timer->start();
    return seen;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_programFolder;
    Journal m_journal;
    ScriptedDialogs m_dialogs{m_journal};
    RecordingWebOpener m_web{m_journal};

    std::unique_ptr<Main> StartWindow() {
        MainServices services;
        services.makeFtpControl = [] { return std::make_unique<IdleFtpControl>(); };
        services.makeSelectline = [](const std::filesystem::path&) -> SelectlineFactory { return {}; };
        services.dialogs = &m_dialogs;
        services.web = &m_web;
        auto window =
            std::make_unique<Main>(std::filesystem::path(m_programFolder.path().toStdString()), std::move(services));
        window->show();
        return window;
    }

    static QString LabelText(QWidget& dialog, const char* name) {
        auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        return label != nullptr ? label->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(name));
    }

    // Clicks "Durchsuchen"; `inside` runs while the folder dialog is open.
    static void Browse(Main& window, std::function<void(Durchsuchen&)> inside) {
        const auto seen = WhenModalOpens([inside = std::move(inside)](QWidget& modal) {
            auto* dialog = qobject_cast<Durchsuchen*>(&modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Durchsuchen"));
            inside(*dialog);
        });
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command6")), Qt::LeftButton);
        QVERIFY(*seen);
    }

    static void ShowFolderInList(Durchsuchen& dialog, const QString& folder) {
        auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("Dir1"));
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        const QModelIndex index = model->index(folder);
        QVERIFY(index.isValid());
        tree->setCurrentIndex(index);
    }

    static void ClickOk(Durchsuchen& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    }

private slots:
    void init() {
        m_journal.Clear();
        m_web.opened.clear();
    }

    void theAboutBoxShowsTheVersionAndOpensTheMakersPage() {
        auto window = StartWindow();
        const auto seen = WhenModalOpens([this](QWidget& modal) {
            QCOMPARE(LabelText(modal, "Version"), QStringLiteral(WARENKAI_VERSION));
            emit modal.findChild<QLabel*>(QStringLiteral("WebAddress"))
                ->linkActivated(QString::fromUtf8(kMakerWebAddress));
            QCOMPARE(m_web.opened, std::vector<std::string>{kMakerWebAddress});
            modal.findChild<QPushButton*>(QStringLiteral("Schliessen"))->click();
            QVERIFY(!modal.isVisible());
        });
        window->findChild<QAction*>(QStringLiteral("InfoMenu"))->trigger();
        QVERIFY(*seen);
        QVERIFY(window->isVisible());
    }

    void theFolderDialogSetsThePictureFolder() {
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("Bilder")));
        const QString workFolder = QFileInfo(work.path()).canonicalFilePath();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workFolder));
        auto window = StartWindow();
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("Text1_5"));
        field->setText(QStringLiteral("/alt"));

        // A picture folder that does not exist: the list opens at the working folder. Closed with the
        // close box or "Abbrechen", the field stays as it was.
        Browse(*window, [&](Durchsuchen& dialog) {
            QCOMPARE(dialog.OpenFolder(), QDir::toNativeSeparators(workFolder));
            dialog.close();
        });
        Browse(*window,
               [&](Durchsuchen& dialog) { dialog.findChild<QPushButton*>(QStringLiteral("Abbrechen"))->click(); });
        QCOMPARE(field->text(), QStringLiteral("/alt"));
        QCOMPARE(window->chosenFolder(), QString());

        // OK on the folder the list opened at: the working folder, without a closing separator.
        Browse(*window, [&](Durchsuchen& dialog) { ClickOk(dialog); });
        QCOMPARE(field->text(), QDir::toNativeSeparators(workFolder));

        // A folder below it, chosen in the list.
        Browse(*window, [&](Durchsuchen& dialog) {
            ShowFolderInList(dialog, workFolder + QStringLiteral("/Bilder"));
            QCOMPARE(dialog.OpenFolder(), QDir::toNativeSeparators(workFolder + QStringLiteral("/Bilder")));
            ClickOk(dialog);
        });
        QCOMPARE(field->text(), QDir::toNativeSeparators(workFolder + QStringLiteral("/Bilder")));

        // The list opens at the picture folder of the field; closed without OK, an edited field stays.
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        Browse(*window, [&](Durchsuchen& dialog) {
            QCOMPARE(dialog.OpenFolder(), QDir::toNativeSeparators(workFolder + QStringLiteral("/Bilder")));
            field->setText(QStringLiteral("/anders"));
            dialog.close();
        });
        QCOMPARE(field->text(), QStringLiteral("/anders"));

        // The root keeps its separator.
        Browse(*window, [&](Durchsuchen& dialog) {
            auto* drives = dialog.findChild<QComboBox*>(QStringLiteral("Drive1"));
            QVERIFY(drives);
            QCOMPARE(drives->currentText(), QDir::toNativeSeparators(QDir::rootPath()));
            emit drives->activated(0);
            ClickOk(dialog);
        });
        QCOMPARE(field->text(), QDir::toNativeSeparators(QDir::rootPath()));
        QVERIFY(QDir::setCurrent(previous));
    }

    void anUnreadableRootKeepsTheFolderList() {
        QTemporaryDir work;
        const QString workFolder = QFileInfo(work.path()).canonicalFilePath();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workFolder));
        QString chosen = QStringLiteral("unverändert");
        {
            Durchsuchen dialog(chosen, nullptr, {}, {QDir::rootPath(), workFolder + QStringLiteral("/kein-medium/")});
            auto* drives = dialog.findChild<QComboBox*>(QStringLiteral("Drive1"));
            QCOMPARE(drives->count(), 2);
            drives->setCurrentIndex(1);
            emit drives->activated(1);
            QCOMPARE(drives->currentIndex(), 0);
            QCOMPARE(dialog.OpenFolder(), QDir::toNativeSeparators(workFolder));
            // Closing without OK leaves the chosen folder alone.
            dialog.close();
        }
        QCOMPARE(chosen, QStringLiteral("unverändert"));
        QVERIFY(QDir::setCurrent(previous));
    }

    void theStatusAreaShowsWhatTheTransfersSet() {
        QLabel label;
        QLabel result;
        QListWidget errors;
        QProgressBar bar;
        bar.setRange(0, 100);
        bar.setValue(0);
        QtStatusArea status(label, result, errors, bar);
        QCOMPARE(status.ProgressMaximum(), 100);
        QCOMPARE(status.ProgressValue(), 0);

        status.SetStatusText("Übertrage Artikel");
        QCOMPARE(label.text(), QStringLiteral("Übertrage Artikel"));
        status.AddError("erste");
        status.AddError("Fehler: Artikelstamm1", "550 Permission denied");
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.item(1)->text(), QStringLiteral("Fehler: Artikelstamm1"));
        // The cause beside the line, as its tooltip.
        QCOMPARE(errors.item(1)->toolTip(), QStringLiteral("550 Permission denied"));
        QCOMPARE(errors.item(0)->toolTip(), QString());
        status.SetResult("1 von 2 Bildern übertragen, 1 Fehler");
        QCOMPARE(result.text(), QStringLiteral("1 von 2 Bildern übertragen, 1 Fehler"));
        status.ClearErrors();
        QCOMPARE(errors.count(), 0);

        status.SetProgressMaximum(3);
        status.SetProgressValue(2);
        QCOMPARE(bar.maximum(), 3);
        QCOMPARE(bar.value(), 2);
        QCOMPARE(status.ProgressValue(), 2);
        // Past the end the bar stands at its end, and that is what is read back.
        status.SetProgressValue(status.ProgressValue() + 5);
        QCOMPARE(status.ProgressValue(), 3);
        QCOMPARE(bar.value(), 3);

        // A maximum of 0 (nothing to do) shows an empty bar, not a busy indicator.
        status.SetProgressMaximum(0);
        QCOMPARE(status.ProgressMaximum(), 0);
        QCOMPARE(status.ProgressValue(), 0);
        QVERIFY(bar.maximum() > bar.minimum());
        QCOMPARE(bar.value(), 0);
        status.SetProgressValue(1);
        QCOMPARE(status.ProgressValue(), 0);
    }

    void initTestCase() { PrepareGermanApplication(*qApp); }

    // An empty title shows the program's name; Qt's own buttons speak German.
    void messageBoxesHaveNoTitleOfTheirOwnNoIconAndGermanButtons() {
        QtUserDialogs dialogs(nullptr);
        auto seen = WhenModalOpens([](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString());
            QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Warenkai"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->text(), QStringLiteral("Fertig"));
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.ShowMessage("Fertig");
        QVERIFY(*seen);

        seen = WhenModalOpens([](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString());
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ja"));
            QCOMPARE(box->button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Nein"));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!dialogs.AskYesNo("Wollen Sie die Zeile wirklich löschen?"));
        QVERIFY(*seen);

        seen = WhenModalOpens(
            [](QWidget& modal) { qobject_cast<QMessageBox*>(&modal)->button(QMessageBox::Yes)->click(); });
        QVERIFY(dialogs.AskYesNo("Wollen Sie die Zeile wirklich löschen?"));
        QVERIFY(*seen);
    }

    void theInputBoxShowsThePresetAndCancelGivesNoText() {
        QtUserDialogs dialogs(nullptr);
        auto seen = WhenModalOpens([](QWidget& modal) {
            auto* box = qobject_cast<QInputDialog*>(&modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("Eingabe"));
            QCOMPARE(box->labelText(), QStringLiteral("Bitte geben Sie einen Wert ein:"));
            QCOMPARE(box->textValue(), QStringLiteral("16"));
            box->setTextValue(QStringLiteral(" 19 "));
            box->accept();
        });
        QVERIFY(dialogs.AskText("Bitte geben Sie einen Wert ein:", "Eingabe", "16") ==
                std::optional<std::string>(" 19 "));
        QVERIFY(*seen);

        seen = WhenModalOpens([](QWidget& modal) { qobject_cast<QInputDialog*>(&modal)->reject(); });
        QVERIFY(!dialogs.AskText("Bitte geben Sie einen Wert ein:", "Eingabe", "Ab Lager").has_value());
        QVERIFY(*seen);
    }
};

}  // namespace warenkai::test

QTEST_MAIN(warenkai::test::DialogsTest)
#include "dialogs_test.moc"
