// The main window's wiring: the settings file, the mapping buttons, and the transfers on their thread
// with what they report, the folder's lock, "Abbrechen", the close and the history. Expected files
// are in tests/data/app.
#include <chrono>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "common/cancel_request.h"
#include "common/transfer_lock.h"
#include "import/customer_import.h"
#include "tests/app/window_run.h"

namespace warenkai::test {

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The file fills the controls at start; edits, typed or made with the mapping's buttons and grid on
    // the current row (never in column 0), reach it only when the session ends, and the program's end
    // after that writes nothing more. The rules of the mapping, its boxes' texts among them, are the
    // mapping's own.
    void editsReachTheSettingsFileOnlyAtTheEnd() {
        Run run("app/start.ini");
        QCOMPARE(run.Grid()->item(0, 1)->text(), QStringLiteral("Artikelnummer"));
        QTest::keyClicks(run.Get("Text1_1"), QStringLiteral("h"));
        run.Get("Text1_1")->insert(QStringLiteral("ändler"));  // typed through the input method
        run.Get<QCheckBox>("Check2_0")->click();
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
        QCOMPARE(run.Saved(), TestData("app/start.ini"));

        run.window->SessionEnding();
        QCOMPARE(run.Saved(), TestData("app/edited.ini"));
        std::filesystem::remove(run.Path() / kSettingsFileName);
        run.window->ApplicationQuitting();
        QCOMPARE(run.Saved(), std::string("<missing>"));
    }

    // Each button runs its own transfer on a thread of its own with the program folder locked; it is
    // refused while a transfer of the command line holds the folder. What the transfer reports
    // reaches the window in order, error causes as tooltips; an error ends it with its message. Each
    // transfer but the connection test leaves an entry in the history, shown newest first. While a
    // transfer runs, its buttons are disabled and "Abbrechen" enabled, and it works with the controls
    // as they stood when it was clicked; a close cancels it and follows when it has ended, writing
    // the file once. A window destroyed while its transfer waits for a message box releases the box
    // and waits for it. The window as it opens is kept in the build folder for the README
    // ("warenkai-fenster.png").
    void eachTransferRunsOnItsThreadAndWhatItReportsReachesTheWindow() {
        Run run;
        QVERIFY(run.window->width() >= 960 && run.window->height() >= 600);
        QVERIFY(run.window->grab().save(QStringLiteral("warenkai-fenster.png")));
        QCOMPARE(run.selectlineFolder, run.Path());
        for (const auto echo : {QLineEdit::Password, QLineEdit::Normal, QLineEdit::Password}) {
            QCOMPARE(run.Get("Text1_2")->echoMode(), echo);
            run.Get<QAction>("PasswortZeigen")->toggle();
        }
        TransferLock commandLine(run.Path());
        run.Transfer("Command3");
        commandLine.Release();
        bool asGiven = false;
        run.duringTransfer = [&, windowThread = std::this_thread::get_id()](const Settings&, TransferContext& context) {
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
        QCOMPARE(run.Area(),
                 QStringLiteral("Die Übertragung wurde abgebrochen|Wegen eines Fehlers beendet|0|501|11110"));
        run.Transfer("VerbindungTesten");
        run.Transfer("Command5");
        QCOMPARE(run.runs, (std::vector<int>{1, 1, 1, 1}));
        QCOMPARE(Text(run.journal.Entries()), TestData("app/journal.txt"));
        run.Get<QAction>("ProtokollAnzeigen")->trigger();
        const QRegularExpression times(QStringLiteral("^=== [^|]+\\| "), QRegularExpression::MultilineOption);
        QCOMPARE(run.Get<QPlainTextEdit>("ProtokollText")->toPlainText().remove(times),
                 QString::fromStdString(TestData("app/history.txt")));

        std::binary_semaphore release(0);
        std::string seen;
        run.duringTransfer = [&](const Settings& settings, TransferContext& context) {
            release.try_acquire_for(std::chrono::seconds(10));
            seen = settings.ftpServer + (context.cancel.Requested() ? " abgebrochen" : "");
        };
        run.Get("Text1_0")->setText(QStringLiteral("ftp.example.org"));
        run.Click("Command3");
        QVERIFY(run.Area().endsWith(QStringLiteral("|00001")));
        run.Get("Text1_0")->setText(QStringLiteral("ftp.example.net"));
        run.Get<QAction>("Beenden")->trigger();
        QVERIFY(run.window->isVisible());
        QCOMPARE(run.Saved(), std::string("<missing>"));
        run.Get("Text1_4")->setText(QStringLiteral("http://shop.example.org"));  // after the close was asked for
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!run.window->isVisible(), 10000);
        QCOMPARE(seen, std::string("ftp.example.org abgebrochen"));
        QCOMPARE(run.Saved(), TestData("app/closed.ini"));
        std::filesystem::remove(run.Path() / kSettingsFileName);
        run.window->ApplicationQuitting();  // the program's end after the close writes nothing more
        QCOMPARE(run.Saved(), std::string("<missing>"));

        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            context.dialogs.ShowMessage("Bitte schließen Sie alle Webbrowser");
            seen = "zurück";
        };
        run.Click("Command3");
        run.window.reset();
        QCOMPARE(seen, std::string("zurück"));
    }

    // A customer import against a Selectline whose every call takes 5 ms, as a server in another
    // process does: the window keeps handling its events, and "Abbrechen" stops the import after the
    // customer under way. Afterwards the program's end writes the file, and the window closes all the
    // same when the program folder has vanished, without a message.
    void theWindowStaysResponsiveAndCancelStopsWithinOneCustomer() {
        Run run;
        auto database = std::make_shared<MemoryDatabase>();
        DeclareCustomerColumns(*database);
        database->callTime = std::chrono::milliseconds(5);
        QVERIFY(WriteFileAtomically(run.Path() / "kundenstamm.csv", TestData("app/kundenstamm.csv")));
        run.duringTransfer = [&](const Settings&, TransferContext& context) {
            const auto application = MakeMemorySelectline(database)();
            ImportCustomers(context.programFolder / "kundenstamm.csv", *application->CreateTable("KU"),
                            *application->CreateTable("AD"), context.status, context.dialogs, context.cancel);
        };

        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        run.Click("Command5");
        sinceTick.start();
        ticker.start(10);
        QTest::qWait(600);
        const QString current = run.Get<QLabel>("Statustext")->text();  // "Kundennummer: 17"
        const int underWay = current.mid(14).toInt();
        run.Click("Abbrechen");
        run.WaitForTransferEnd();
        QVERIFY2(longestGap < WARENKAI_LONGEST_GAP_MS,
                 qPrintable(QStringLiteral("%1 ms without events").arg(longestGap)));

        // The customer under way when the label was read, and at most the one the hand-over had not
        // shown yet.
        const int done = static_cast<int>(database->Table("KU").rows.size());
        QVERIFY2(current.startsWith(QStringLiteral("Kundennummer: ")) && done >= underWay - 1 && done <= underWay + 1,
                 qPrintable(QString::number(done) + u'/' + current));
        auto* list = run.Get<QListWidget>("List2");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Abgebrochen nach %1 von 200 Kunden").arg(done));

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
