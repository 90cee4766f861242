// The About box, the folder dialog "Durchsuchen", and the program's own message and input boxes.
#include "app/about_box.h"
#include "app/folder_dialog.h"
#include "app/maker_picture.h"
#include "app/qt_user_dialogs.h"
#include "app/window_application.h"
#include "tests/app/window_run.h"

namespace warenkai::test {

// Runs `inspect` on the modal window that the next call opens, once that call waits in the window's
// own event loop, and closes the window if `inspect` left it open, so a failed check cannot leave
// the test waiting.
void WhenModalOpens(std::function<void(QWidget& modal)> inspect) {
    QTimer::singleShot(0, qApp, [inspect = std::move(inspect)] {
        QWidget* modal = QApplication::activeModalWidget();
        inspect(*modal);
        modal->close();
    });
}

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareGermanApplication(*qApp); }

    // "Info": the version that the build sets, the maker's page in the browser, and "Schließen".
    // "Durchsuchen" opens at the picture folder of the field, or at the working folder when that does
    // not exist, and sets the field only with "OK": to the folder open in the list, without a closing
    // separator unless it is a root. A root without a medium leaves the list as it was.
    void theAboutBoxAndTheFolderDialog() {
        Run run;
        WhenModalOpens([](QWidget& modal) {
            QCOMPARE(modal.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral(WARENKAI_VERSION));
            emit modal.findChild<QLabel*>(QStringLiteral("WebAddress"))->linkActivated(kMakerWebAddress);
            modal.findChild<QPushButton*>(QStringLiteral("Schliessen"))->click();
            QVERIFY(!modal.isVisible());
        });
        run.Get<QAction>("InfoMenu")->trigger();
        QCOMPARE(run.journal.Entries(), Lines{std::string("open: ") + kMakerWebAddress});

        QVERIFY(QDir(run.folder.path()).mkdir(QStringLiteral("Bilder")));
        const QString work = QDir::toNativeSeparators(QFileInfo(run.folder.path()).canonicalFilePath());
        const QString pictures = work + QDir::separator() + QStringLiteral("Bilder");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work));
        run.Get("Text1_5")->setText(QStringLiteral("/alt"));
        // What is done in the dialog: a folder chosen in the list, an edit of the field meanwhile, or
        // a root chosen; then the button pressed ("" is the close box).
        const struct {
            QString opensAt, choose, press, fieldAfter;
        } steps[] = {
            {work, "", "", "/alt"},  // a picture folder that is not there: the working folder
            {work, "", "Abbrechen", "/alt"},
            {work, "", "OK", work},  // without a closing separator
            {work, "Bilder", "OK", pictures},
            {pictures, "Feld", "", "/anders"},  // the field's folder; an edit meanwhile stays
            {work, "Laufwerk", "OK", QDir::toNativeSeparators(QDir::rootPath())},  // a root keeps its separator
        };
        for (const auto& step : steps) {
            WhenModalOpens([&](QWidget& modal) {
                auto* drives = modal.findChild<QComboBox*>(QStringLiteral("Drive1"));
                auto* list = modal.findChild<QTreeView*>(QStringLiteral("Dir1"));
                QCOMPARE(qobject_cast<Durchsuchen*>(&modal)->OpenFolder(), step.opensAt);
                QCOMPARE(drives->currentText(), work.left(work.indexOf(QDir::separator()) + 1));  // the drive of it
                if (step.choose == "Bilder") {
                    list->setCurrentIndex(
                        static_cast<QFileSystemModel*>(list->model())->index(QDir::fromNativeSeparators(pictures)));
                } else if (step.choose == "Feld") {
                    run.Get("Text1_5")->setText(QStringLiteral("/anders"));
                } else if (step.choose == "Laufwerk") {
                    emit drives->activated(0);
                }
                step.press.isEmpty() ? void(modal.close()) : modal.findChild<QPushButton*>(step.press)->click();
            });
            run.Get<QPushButton>("Command6")->click();  // on a tab not shown
            QCOMPARE(run.Get("Text1_5")->text(), step.fieldAfter);
        }
        QVERIFY(QDir::setCurrent(previous));

        QString chosen = QStringLiteral("unverändert");
        Durchsuchen dialog(chosen, nullptr, work, {QDir::rootPath(), work + QStringLiteral("/kein-medium/")});
        auto* drives = dialog.findChild<QComboBox*>(QStringLiteral("Drive1"));
        drives->setCurrentIndex(1);
        emit drives->activated(1);
        QCOMPARE(drives->currentIndex(), 0);
        QCOMPARE(dialog.OpenFolder(), work);
        QCOMPARE(chosen, QStringLiteral("unverändert"));
    }

    // Qt's buttons in German, no title of their own (the program's name stands there), no icon, the
    // text as it stands; each box answers as the button pressed, Return pressing "OK" or "Ja" and
    // Escape "Abbrechen" or "Nein".
    void theBoxesSpeakGermanAndAnswerAsPressed() {
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Warenkai"));
        QtUserDialogs dialogs(nullptr);
        const auto showMessage = [&] { return dialogs.ShowMessage("<b>Fertig</b>"), std::string(); };
        const auto askYesNo = [&] { return std::string(dialogs.AskYesNo("Löschen?") ? "ja" : "nein"); };
        const auto askText = [&] { return dialogs.AskText("Wert:", "Eingabe", "16").value_or("<keiner>"); };
        const struct {
            std::function<std::string()> call;
            Qt::Key press;
            QString shown;  // title|text|preset|buttons
            std::string answer;
        } cases[] = {
            {showMessage, Qt::Key_Return, "|<b>Fertig</b>|OK", ""},
            {askYesNo, Qt::Key_Return, "|Löschen?|Ja,Nein", "ja"},
            {askYesNo, Qt::Key_Escape, "|Löschen?|Ja,Nein", "nein"},
            {askText, Qt::Key_Return, "Eingabe|Wert:|16|Abbrechen,OK", " 19 "},
            {askText, Qt::Key_Escape, "Eingabe|Wert:|16|Abbrechen,OK", "<keiner>"},
        };
        for (const auto& box : cases) {
            QString shown;
            WhenModalOpens([&](QWidget& modal) {
                auto* message = qobject_cast<QMessageBox*>(&modal);
                auto* input = qobject_cast<QInputDialog*>(&modal);
                QVERIFY(!message || (message->icon() == QMessageBox::NoIcon && message->textFormat() == Qt::PlainText));
                shown = modal.windowTitle() + u'|' +
                        (message ? message->text() : input->labelText() + u'|' + input->textValue());
                if (input) {
                    input->setTextValue(QStringLiteral(" 19 "));
                }
                QStringList buttons;
                for (auto* button : modal.findChildren<QPushButton*>()) {
                    buttons << button->text().remove(u'&');
                }
                buttons.sort();
                shown += u'|' + buttons.join(u',');
                QTest::keyClick(&modal, box.press);
            });
            QCOMPARE(box.call(), box.answer);
            QCOMPARE(shown, box.shown);
        }
    }
};

}  // namespace warenkai::test

QTEST_MAIN(warenkai::test::DialogsTest)
#include "dialogs_test.moc"
