// The main window's wiring: the settings file, the mapping buttons, and the transfers on their thread
// with what they report, the folder's lock, "Abbrechen", the close and the history.
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "common/cancel_request.h"
#include "common/transfer_lock.h"
#include "import/customer_import.h"
#include "tests/app/window_run.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/test_data.h"

namespace warenkai::test {

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The file fills the controls at start; edits, typed or made with the mapping's buttons and grid on
    // the current row (never in column 0), reach it only when the session ends, and the program's end
    // after that writes nothing more. The rules of the mapping are the mapping's own.
    void editsReachTheSettingsFileOnlyAtTheEnd() {
        Run run;
        Settings stored;
        stored.ftpServer = "ftp.example.org:2121";
        stored.passiveMode = true;
        stored.mapping[0].selectlineField = "Artikelnummer";
        QVERIFY(SaveSettings(run.SettingsFile(), stored));
        run.Start();
        run.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
        QCOMPARE(run.Get("Text1_0")->text(), QStringLiteral("ftp.example.org:2121"));
        QVERIFY(run.Get<QCheckBox>("Check2_1")->isChecked());
        QCOMPARE(run.Grid()->item(0, 1)->text(), QStringLiteral("Artikelnummer"));

        QTest::keyClicks(run.Get("Text1_1"), QStringLiteral("h"));
        run.Get("Text1_1")->insert(QStringLiteral("ä"));  // typed through the input method
        QTest::keyClicks(run.Get("Text1_1"), QStringLiteral("ndler"));
        auto* synchronous = run.Get<QCheckBox>("Check2_0");
        QTest::mouseClick(synchronous, Qt::LeftButton, {}, QPoint(6, synchronous->height() / 2));
        run.Get<QTabWidget>("SSTab1")->setCurrentIndex(1);
        run.Get<QTabWidget>("SSTab2")->setCurrentIndex(1);
        run.ClickCell(3, 1);
        auto* fields = run.Get<QListWidget>("List1_0");
        fields->setCurrentItem(fields->findItems(QStringLiteral("Bezeichnung"), Qt::MatchExactly).value(0));
        run.Click("Command1_0");
        run.ClickCell(6, 1);
        run.dialogs.yesNoAnswers = {true};
        run.Click("Command2_0");
        run.ClickCell(5, 0);
        QCOMPARE(run.Grid()->currentColumn(), 1);
        run.dialogs.textAnswers = {std::string("19")};
        run.ClickCell(18, 2);
        QCOMPARE(run.journal.Entries(), (Lines{"question: Wollen Sie die Zeile wirklich löschen?",
                                               "input: Bitte geben Sie einen Wert ein:|Eingabe|16"}));
        QCOMPARE(run.Saved(), FormatSettingsFile(stored));

        run.window->SessionEnding();
        stored.ftpUser = "händler";
        stored.synchronousTransfer = true;
        stored.mapping[2].selectlineField = "Bezeichnung";
        stored.mapping[5].defaultValue = "";
        stored.mapping[17].defaultValue = "19";
        QCOMPARE(run.Saved(), FormatSettingsFile(stored));
        std::filesystem::remove(run.SettingsFile());
        run.window->ApplicationQuitting();
        QCOMPARE(run.Saved(), std::string("<missing>"));
        run.Get<QAction>("Beenden")->trigger();
        QVERIFY(!run.window->isVisible());
    }

    // Each button runs its transfer on a thread of its own with the controls as they stand when it is
    // clicked and the program folder locked; it is refused while a transfer of the command line holds
    // the folder. What the transfer reports reaches the window in order; an error ends it with its
    // message. Each transfer but the connection test leaves an entry in the history, shown newest
    // first. While a transfer runs, its buttons are disabled and "Abbrechen" enabled, and clicks start
    // nothing; a close cancels the transfer and follows when it has ended, writing the file once. A
    // window destroyed while its transfer waits for a message box releases the box and waits for it.
    // The window as it opens is kept in the build folder for the README ("warenkai-fenster.png").
    void eachTransferRunsOnItsThreadAndWhatItReportsReachesTheWindow() {
        Run run;
        run.Start();
        run.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.window.get()));
        const QImage picture = run.window->grab().toImage();
        QVERIFY(picture.width() >= 960 && picture.height() >= 600);
        QVERIFY(picture.save(QStringLiteral("warenkai-fenster.png")));
        QCOMPARE(run.selectlineFolder, run.Path());
        for (const auto echo : {QLineEdit::Password, QLineEdit::Normal, QLineEdit::Password}) {
            QCOMPARE(run.Get("Text1_2")->echoMode(), echo);
            run.Get<QAction>("PasswortZeigen")->toggle();
        }
        run.Get("Text1_0")->setText(QStringLiteral("ftp.example.org"));
        {
            TransferLock commandLine(run.Path());
            run.Transfer("Command3");
        }
        const auto windowThread = std::this_thread::get_id();
        bool asGiven = false;
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            asGiven = std::this_thread::get_id() != windowThread && context.programFolder == run.Path() &&
                      context.selectline && !TransferLock(run.Path()).Held();
            context.status.ClearErrors();
            context.status.AddError("Fehler: Artikelstamm1", "550 Permission denied");
            for (int i = 2; i <= 500; ++i) {
                context.status.SetStatusText("Auslesen des Artikels: " + std::to_string(i));
                context.status.AddError("Fehler " + std::to_string(i));
            }
            context.status.SetProgressMaximum(200);
            context.status.SetProgressValue(151);
            context.status.SetResult("1 Artikel in 1 Datei");
            context.dialogs.ShowMessage("Fertig");
            context.web.OpenWebAddress("http://shop.example.org/seite");
            context.status.SetStatusText("Fertig");
        };
        run.Transfer("Command3");
        QVERIFY(asGiven);
        QCOMPARE(run.Area(), QStringLiteral("Fertig|1 Artikel in 1 Datei|151|500|11110"));
        QCOMPARE(run.Get<QListWidget>("List2")->item(0)->toolTip(), QStringLiteral("550 Permission denied"));
        QCOMPARE(run.Get<QListWidget>("List2")->item(499)->text(), QStringLiteral("Fehler 500"));

        run.duringTransfer = [](const Settings&, TransferContext&) { throw std::runtime_error("Datei gesperrt"); };
        run.Transfer("Command4");  // the bar starts at 0
        QCOMPARE(run.Area(), QString::fromUtf8(kTransferStoppedStatus) + u'|' +
                                 QString::fromUtf8(kStoppedResultPrefix) + QStringLiteral("|0|501|11110"));
        run.Get<QPushButton>("VerbindungTesten")->click();  // a mouse click would miss it on its tab not shown
        run.WaitForTransferEnd();
        run.Transfer("Command5");
        run.Get<QAction>("ProtokollAnzeigen")->trigger();
        QString history = run.Get<QPlainTextEdit>("ProtokollText")->toPlainText();
        QCOMPARE(history.count(QStringLiteral("=== ")), 3);
        history.remove(QRegularExpression(QStringLiteral("^=== [^|]+\\| "), QRegularExpression::MultilineOption));
        QCOMPARE(history.split(u'\n').mid(3, 7),
                 (QStringList{"Bilder zum Webshop | wegen eines Fehlers beendet",
                              "  Ergebnis: Wegen eines Fehlers beendet", "  Datei gesperrt",
                              "Artikel zum Webshop | fertig, mit Fehlern", "  Ergebnis: 1 Artikel in 1 Datei",
                              "  Fehler: Artikelstamm1", "      Ursache: 550 Permission denied"}));

        std::atomic<bool> release = false;
        Settings seen;
        bool cancelSeen = false;
        run.duringTransfer = [&](const Settings& settings, TransferContext& context) {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            seen = settings;
            cancelSeen = context.cancel.Requested();
        };
        run.Click("Command3");
        QVERIFY(run.Area().endsWith(QStringLiteral("|00001")));
        QTest::mouseClick(run.Get<QPushButton>("Command5"), Qt::LeftButton);
        run.Get<QPushButton>("Command4")->click();
        run.Get("Text1_0")->setText(QStringLiteral("ftp.example.net"));
        run.Get<QAction>("Beenden")->trigger();
        QVERIFY(run.window->isVisible());
        QCOMPARE(run.Saved(), std::string("<missing>"));
        run.Get("Text1_4")->setText(QStringLiteral("http://shop.example.org"));  // after the close was asked for
        release = true;
        QTRY_VERIFY_WITH_TIMEOUT(!run.window->isVisible(), 10000);
        QVERIFY(run.Area().endsWith(QStringLiteral("|11110")) && cancelSeen);
        QCOMPARE(seen.ftpServer, std::string("ftp.example.org"));
        QCOMPARE(run.runs, (std::vector<int>{2, 1, 1, 1}));
        QCOMPARE(run.journal.Entries(), (Lines{std::string("message: ") + kTransferLockBusyText, "message: Fertig",
                                               "open: http://shop.example.org/seite", "message: Datei gesperrt",
                                               "message: Datei gesperrt", "message: Datei gesperrt"}));
        Settings expected;
        expected.ftpServer = "ftp.example.net";
        expected.shopLink = "http://shop.example.org";
        QCOMPARE(run.Saved(), FormatSettingsFile(expected));
        std::filesystem::remove(run.SettingsFile());
        run.window->ApplicationQuitting();  // the program's end after the close writes nothing more
        QCOMPARE(run.Saved(), std::string("<missing>"));

        bool returned = false;
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            context.dialogs.ShowMessage("Bitte schließen Sie alle Webbrowser");
            returned = true;
        };
        run.Click("Command3");
        run.window.reset();
        QVERIFY(returned);
    }

    // A customer import against a Selectline whose every call takes 5 ms, as a server in another
    // process does: the window keeps handling its events, and "Abbrechen" stops the import after the
    // customer under way. Afterwards the program's end writes the file, and the window closes all the
    // same when the program folder has vanished, without a message.
    void theWindowStaysResponsiveAndCancelStopsWithinOneCustomer() {
        Run run;
        run.Start();
        run.window->show();
        auto database = std::make_shared<MemoryDatabase>();
        DeclareCustomerColumns(*database);
        database->callTime = std::chrono::milliseconds(5);
        std::string file = "kopf\r\n";
        for (int customer = 1; customer <= 200; ++customer) {
            file += std::to_string(customer) + std::string(24, ',') + "\r\n";
        }
        QVERIFY(WriteFileAtomically(run.Path() / "kundenstamm.csv", file));
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
        const auto line =
            QRegularExpression(QStringLiteral("^Abgebrochen nach (\\d+) von 200 Kunden$")).match(list->item(0)->text());
        QVERIFY2(line.hasMatch(), qPrintable(list->item(0)->text()));
        const int done = line.captured(1).toInt();
        // The customer under way when the label was read, and at most the one the hand-over had not
        // shown yet.
        QVERIFY2(done >= underWay - 1 && done <= underWay + 1,
                 qPrintable(line.captured() + QStringLiteral(" / ") + current));
        QCOMPARE(static_cast<int>(database->Table("KU").rows.size()), done);
        QCOMPARE(run.Get<QLabel>("Statustext")->text(), QString::fromUtf8(kTransferStoppedStatus));

        QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
        QCOMPARE(run.Saved(), FormatSettingsFile(Settings{}));
        QVERIFY(run.folder.remove());
        QVERIFY(run.window->close());
        QVERIFY(run.journal.Entries().empty());
    }
};

}  // namespace warenkai::test

QTEST_MAIN(warenkai::test::MainWindowTest)
#include "main_window_test.moc"
