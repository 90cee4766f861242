#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/transfer_lock.h"
#include "import/customer_import.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "tests/app/window_run.h"
#include "tests/support/fake_ui.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpWritesNothingAndMasksThePassword() {
        Run run;
        run.Start();
        QCOMPARE(ReadFile(run.SettingsFile()), std::string("<missing>"));
        QCOMPARE(run.selectlineFolder, run.Path());
        QVERIFY(run.Shown().empty());
        QCOMPARE(run.Text1(2)->echoMode(), QLineEdit::Password);
        auto* showPassword = run.Text1(2)->findChild<QAction*>(QStringLiteral("PasswortZeigen"));
        showPassword->toggle();
        QCOMPARE(run.Text1(2)->echoMode(), QLineEdit::Normal);
        showPassword->toggle();
        QCOMPARE(run.Text1(2)->echoMode(), QLineEdit::Password);
    }

    // The file fills the controls at start; an edit reaches it only when the window closes.
    void theSettingsFileIsReadAtStartAndWrittenAtClose() {
        Run run;
        Settings stored;
        stored.ftpServer = "ftp.example.org:2121";
        stored.ftpUser = "alt";
        stored.passiveMode = true;
        stored.mapping[0].selectlineField = "Artikelnummer";
        stored.mapping[9].prefix = "Stk ";
        WriteFile(run.SettingsFile(), FormatSettingsFile(stored));
        run.Start();
        run.window->show();
        QCOMPARE(run.Text1(0)->text(), QStringLiteral("ftp.example.org:2121"));
        QVERIFY(run.Get<QCheckBox>("Check2_1")->isChecked());
        QCOMPARE(run.Cell(1, 1), QStringLiteral("Artikelnummer"));
        QCOMPARE(run.Cell(10, 3), QStringLiteral("Stk"));  // read back without its trailing blank

        run.Text1(1)->clear();
        QTest::keyClicks(run.Text1(1), QStringLiteral("h"));
        run.Text1(1)->insert(QStringLiteral("ä"));  // typed through the input method
        QTest::keyClicks(run.Text1(1), QStringLiteral("ndler"));
        QTest::mouseClick(run.Get<QCheckBox>("Check2_0"), Qt::LeftButton, {},
                          QPoint(6, run.Get<QCheckBox>("Check2_0")->height() / 2));
        QCOMPARE(ReadFile(run.SettingsFile()), FormatSettingsFile(stored));

        run.MenuEntry("Beenden")->trigger();
        QVERIFY(!run.window->isVisible());
        stored.ftpUser = "händler";
        stored.synchronousTransfer = true;
        stored.mapping[9].prefix = "Stk";
        QCOMPARE(ReadFile(run.SettingsFile()), FormatSettingsFile(stored));
    }

    // The end of the session and the end of the program each write the file, once.
    void everyWayTheProgramEndsWritesTheFileOnce() {
        Run run;
        run.Start();
        run.window->show();
        run.Text1(0)->setText(QStringLiteral("ftp.example.org"));
        run.window->SessionEnding();
        Settings expected;
        expected.ftpServer = "ftp.example.org";
        QCOMPARE(ReadFile(run.SettingsFile()), FormatSettingsFile(expected));
        std::filesystem::remove(run.SettingsFile());
        run.window->ApplicationQuitting();
        QCOMPARE(ReadFile(run.SettingsFile()), std::string("<missing>"));

        Run other;
        other.Start();
        QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
        QCOMPARE(ReadFile(other.SettingsFile()), FormatSettingsFile(Settings{}));

        // A program folder that vanished: the window closes all the same, without a message.
        QVERIFY(other.folder.remove());
        QVERIFY(other.window->close());
        QVERIFY(other.Shown().empty());
    }

    // The buttons and the grid act on the current row; the rules of the mapping are the mapping's own.
    void mappingButtonsActOnTheCurrentRow() {
        Run run;
        run.Start();
        run.ClickCell(3, 1);
        run.SelectField(QStringLiteral("Bezeichnung"));
        run.Click("Command1_0");
        run.ClickCell(2, 1);
        run.dialogs.yesNoAnswers = {false};
        run.Click("Command1_0");  // the name is on row 3 already: asked, and No
        run.ClickCell(6, 1);
        run.dialogs.yesNoAnswers = {true};
        run.Click("Command2_0");
        // Column 0 never becomes the current column.
        run.ClickCell(5, 0);
        QCOMPARE(run.Grid()->currentColumn(), 1);
        run.dialogs.textAnswers = {std::string("19"), std::nullopt};
        run.ClickCell(18, 2);
        run.ClickCell(7, 2);

        QCOMPARE(run.Shown(), (Lines{"question: Spalte von Selectline bereits vorhanden, trotzdem einfügen?",
                                     "question: Wollen Sie die Zeile wirklich löschen?",
                                     "input: Bitte geben Sie einen Wert ein:|Eingabe|16",
                                     "input: Bitte geben Sie einen Wert ein:|Eingabe|0"}));
        run.window->close();
        Settings expected;
        expected.mapping[2].selectlineField = "Bezeichnung";
        expected.mapping[5].defaultValue = "";
        expected.mapping[17].defaultValue = "19";
        QCOMPARE(ReadFile(run.SettingsFile()), FormatSettingsFile(expected));
    }

    // Each button runs its transfer on a thread of its own with the controls as they stand; what the
    // transfer reports reaches the window in order.
    void eachTransferRunsOnItsThreadAndWhatItReportsReachesTheWindow() {
        Run run;
        run.Start();
        run.Text1(0)->setText(QStringLiteral("ftp.example.org"));
        std::thread::id transferThread;
        Settings seen;
        run.duringTransfer = [&](const Settings& settings, TransferContext& context) {
            transferThread = std::this_thread::get_id();
            seen = settings;
            QVERIFY(context.programFolder == run.Path() && context.selectline);
            context.status.ClearErrors();
            for (int i = 1; i <= 500; ++i) {
                context.status.SetStatusText("Auslesen des Artikels: " + std::to_string(i));
                context.status.AddError("Fehler " + std::to_string(i));
            }
            context.status.SetProgressMaximum(200);
            context.status.SetProgressValue(151);
            context.dialogs.ShowMessage("Fertig");
            context.web.OpenWebAddress("http://shop.example.org/seite");
            context.status.SetStatusText("Fertig");
        };
        run.Transfer("Command3");
        QVERIFY(transferThread != std::this_thread::get_id());
        QCOMPARE(seen.ftpServer, std::string("ftp.example.org"));
        auto* list = run.Get<QListWidget>("List2");
        QCOMPARE(list->count(), 500);
        QCOMPARE(list->item(499)->text(), QStringLiteral("Fehler 500"));
        QCOMPARE(run.Get<QProgressBar>("ProgressBar3")->value(), 151);
        QCOMPARE(run.Shown(), (Lines{"message: Fertig", "open: http://shop.example.org/seite"}));
        QCOMPARE(run.Get<QLabel>("Statustext")->text(), QStringLiteral("Fertig"));

        // The next transfer starts with the bar at 0.
        run.duringTransfer = nullptr;
        run.Transfer("Command4");
        run.Transfer("Command5");
        QCOMPARE(run.Get<QProgressBar>("ProgressBar3")->value(), 0);
        QCOMPARE(std::vector<int>({run.articleRuns, run.pictureRuns, run.importRuns}), std::vector<int>({1, 1, 1}));
    }

    // Each transfer's causes, result and history entry reach the window; an error ends the transfer
    // with its message and frees the buttons; the connection test is no transfer and leaves no entry.
    void causesResultsAndTheRunHistoryAreShown() {
        Run run;
        run.Start();
        run.duringTransfer = [](const Settings&, TransferContext& context) {
            context.status.AddError("Fehler: Artikelstamm1", "550 Permission denied");
            context.status.SetResult("1 Artikel in 1 Datei");
        };
        run.Transfer("Command3");
        QCOMPARE(run.Get<QListWidget>("List2")->item(0)->toolTip(), QStringLiteral("550 Permission denied"));
        QCOMPARE(run.Get<QLabel>("Ergebnis")->text(), QStringLiteral("1 Artikel in 1 Datei"));
        run.duringTransfer = [](const Settings&, TransferContext&) { throw std::runtime_error("Datei gesperrt"); };
        run.Transfer("Command4");
        QCOMPARE(run.Shown(), Lines{"message: Datei gesperrt"});
        QCOMPARE(run.Get<QLabel>("Statustext")->text(), QString::fromUtf8(kTransferStoppedStatus));
        QCOMPARE(run.Get<QLabel>("Ergebnis")->text(), QString::fromUtf8(kStoppedResultPrefix));
        run.Get<QPushButton>("VerbindungTesten")->click();  // on a tab not shown: a mouse click would miss it
        run.WaitForTransferEnd();

        run.MenuEntry("ProtokollAnzeigen")->trigger();
        auto* shown = run.Get<QPlainTextEdit>("ProtokollText");
        const QStringList lines = shown->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^=== "))).size(), 2);
        QVERIFY2(lines[0].endsWith(QStringLiteral(" | Bilder zum Webshop | wegen eines Fehlers beendet")),
                 qPrintable(lines[0]));
        QCOMPARE(lines.mid(1, 2), (QStringList{QStringLiteral("  Ergebnis: Wegen eines Fehlers beendet"),
                                               QStringLiteral("  Datei gesperrt")}));
        QVERIFY2(lines[3].endsWith(QStringLiteral(" | Artikel zum Webshop | fertig, mit Fehlern")),
                 qPrintable(lines[3]));
        QCOMPARE(lines.mid(4, 3), (QStringList{QStringLiteral("  Ergebnis: 1 Artikel in 1 Datei"),
                                               QStringLiteral("  Fehler: Artikelstamm1"),
                                               QStringLiteral("      Ursache: 550 Permission denied")}));
    }

    void transferButtonsAreDisabledAndSettingsEditableWhileATransferRuns() {
        Run run;
        run.Start();
        run.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
        run.Text1(0)->setText(QStringLiteral("ftp.example.org"));
        std::atomic<bool> release = false;
        std::string serverSeen;
        run.duringTransfer = [&](const Settings& settings, TransferContext&) {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            serverSeen = settings.ftpServer;
        };
        run.Click("Command3");
        QVERIFY(!run.Get<QPushButton>("Command3")->isEnabled());
        QVERIFY(!run.Get<QPushButton>("Command4")->isEnabled());
        QVERIFY(!run.Get<QPushButton>("Command5")->isEnabled());
        QVERIFY(run.Get<QPushButton>("Abbrechen")->isEnabled());
        // Clicks meanwhile start nothing; an edit counts from the next transfer.
        QTest::mouseClick(run.Get<QPushButton>("Command5"), Qt::LeftButton);
        run.Get<QPushButton>("Command4")->click();
        run.Text1(0)->setText(QStringLiteral("ftp.example.net"));
        release = true;
        run.WaitForTransferEnd();
        QCOMPARE(serverSeen, std::string("ftp.example.org"));
        QCOMPARE(run.articleRuns, 1);
        QCOMPARE(run.pictureRuns, 0);
        QCOMPARE(run.importRuns, 0);
        QVERIFY(run.Get<QPushButton>("Command3")->isEnabled());
        QVERIFY(run.Get<QPushButton>("Command4")->isEnabled());
        QVERIFY(run.Get<QPushButton>("Command5")->isEnabled());
        QVERIFY(!run.Get<QPushButton>("Abbrechen")->isEnabled());
    }

    void aTransferOfAnotherProgramOnTheSameFolderRefusesTheButtons() {
        Run run;
        run.Start();
        {
            TransferLock commandLine(run.Path());
            QVERIFY(commandLine.Held());
            run.Transfer("Command3");
            QCOMPARE(run.articleRuns, 0);
            QCOMPARE(run.Shown(), Lines{std::string("message: ") + kTransferLockBusyText});
        }
        // Once the other transfer has ended, the window's transfer runs and holds the folder meanwhile.
        bool heldMeanwhile = false;
        run.duringTransfer = [&](const Settings&, TransferContext&) {
            heldMeanwhile = !TransferLock(run.Path()).Held();
        };
        run.Transfer("Command3");
        QVERIFY(heldMeanwhile);
        QVERIFY(TransferLock(run.Path()).Held());
    }

    // A customer import against a Selectline whose every call takes 5 ms, as a server in another
    // process does: the window keeps handling its events, and "Abbrechen" stops the import after the
    // customer under way.
    void theWindowStaysResponsiveAndCancelStopsWithinOneCustomer() {
        Run run;
        run.Start();
        run.window->show();
        auto database = std::make_shared<MemoryDatabase>();
        database->Table("KU").columns = {"Nummer",   "Name",          "Zusatz",       "Strasse",     "Plz",
                                         "Ort",      "SteueridentNr", "Steuernummer", "EMail",       "Telefon1",
                                         "Telefon2", "Fax",           "FreierText1",  "FreierText2", "RefAdresse"};
        database->Table("AD").columns = {"Adresstyp", "Name", "Zusatz", "Strasse", "Plz", "Ort"};
        database->callTime = std::chrono::milliseconds(5);
        std::string file = "kopf\r\n";
        for (int customer = 1; customer <= 200; ++customer) {
            file += std::to_string(customer) + std::string(24, ',') + "\r\n";
        }
        WriteFile(run.Path() / "kundenstamm.csv", file);
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            auto application = MakeMemorySelectline(database)();
            const auto customers = application->CreateTable("KU");
            const auto addresses = application->CreateTable("AD");
            RunTransfer(context.status, context.dialogs, [&] {
                ImportCustomers(context.programFolder / "kundenstamm.csv", *customers, *addresses, context.status,
                                context.dialogs, context.cancel);
            });
        };

        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        run.Click("Command5");
        sinceTick.start();
        ticker.start(10);
        QTest::qWait(600);
        const QString current = run.Get<QLabel>("Statustext")->text();
        QVERIFY(current.startsWith(QStringLiteral("Kundennummer: ")));
        const int underWay = current.mid(14).toInt();
        run.Click("Abbrechen");
        run.WaitForTransferEnd();
        ticker.stop();
#ifdef WARENKAI_INSTRUMENTED
        constexpr qint64 kLongestGap = 300;
#else
        constexpr qint64 kLongestGap = 100;
#endif
        QVERIFY2(longestGap < kLongestGap, qPrintable(QStringLiteral("%1 ms without events").arg(longestGap)));

        auto* list = run.Get<QListWidget>("List2");
        QCOMPARE(list->count(), 1);
        const QString line = list->item(0)->text();
        QVERIFY2(
            line.startsWith(QStringLiteral("Abgebrochen nach ")) && line.endsWith(QStringLiteral(" von 200 Kunden")),
            qPrintable(line));
        const int done = line.mid(17).section(QLatin1Char(' '), 0, 0).toInt();
        // The customer under way when the label was read, and at most the one the hand-over had not
        // shown yet.
        QVERIFY2(done >= underWay - 1 && done <= underWay + 1, qPrintable(line + QStringLiteral(" / ") + current));
        QCOMPARE(static_cast<int>(database->Table("KU").rows.size()), done);
        QCOMPARE(run.Get<QLabel>("Statustext")->text(), QString::fromUtf8(kTransferStoppedStatus));
        QVERIFY(run.Shown().empty());
    }

    void aCloseDuringATransferCancelsItAndFollowsWhenItEnds() {
        Run run;
        run.Start();
        run.window->show();
        std::atomic<bool> release = false;
        bool cancelSeen = false;
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            cancelSeen = context.cancel.Requested();
        };
        run.Click("Command5");
        QVERIFY(!run.window->close());
        run.MenuEntry("Beenden")->trigger();
        QVERIFY(run.window->isVisible());
        QCOMPARE(ReadFile(run.SettingsFile()), std::string("<missing>"));
        // Edited after the close was asked for: the file is written when the window really closes.
        run.Text1(4)->setText(QStringLiteral("http://shop.example.org"));
        release = true;
        QTRY_VERIFY_WITH_TIMEOUT(!run.window->isVisible(), 10000);
        QVERIFY(cancelSeen);
        QVERIFY(run.Shown().empty());
        Settings expected;
        expected.shopLink = "http://shop.example.org";
        QCOMPARE(ReadFile(run.SettingsFile()), FormatSettingsFile(expected));

        // Written once: the program's end after the close writes nothing more.
        std::filesystem::remove(run.SettingsFile());
        run.window->ApplicationQuitting();
        QCOMPARE(ReadFile(run.SettingsFile()), std::string("<missing>"));
    }

    void aWindowDestroyedDuringATransferReleasesItsBoxesAndWaitsForIt() {
        Run run;
        run.Start();
        bool returned = false;
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            context.dialogs.ShowMessage("Bitte schließen Sie alle Webbrowser");
            returned = true;
        };
        // The message box is never answered: the window goes first.
        run.Click("Command3");
        run.window.reset();
        QVERIFY(returned);
    }

    // The window as it opens, kept in the build folder for the README ("warenkai-fenster.png").
    void aPictureOfTheWindowAsItOpens() {
        Run run;
        run.Start();
        run.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
        const QImage picture = run.window->grab().toImage();
        QVERIFY(picture.width() >= 960 && picture.height() >= 600);
        QVERIFY(picture.save(QStringLiteral("warenkai-fenster.png")));
    }
};

}  // namespace warenkai::test

QTEST_MAIN(warenkai::test::MainWindowTest)
#include "main_window_test.moc"
