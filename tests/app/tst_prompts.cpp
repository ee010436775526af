#include "app/Prompts.h"
#include "support/TestMain.h"

namespace {

// Once the next modal box is up: reads its title, text, buttons and whether it is wide enough
// for its title beside what the window manager draws there, then presses the key (or clicks the
// button when the key is 0).
void answerNextBox(QString* seen, int key, int button) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return answerNextBox(seen, key, button);
        QFont bold = box->font();
        bold.setBold(true);
        const bool fits = box->width() >= QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100;
        *seen = u"%1|%2|%3|%4"_s.arg(box->windowTitle(), box->text())
                    .arg(int(box->standardButtons()), 0, 16)
                    .arg(fits ? "fits" : "cut");
        if (key)
            QTest::keyClick(box, Qt::Key(key));
        else
            box->button(QMessageBox::StandardButton(button))->click();
    });
}

} // namespace

class PromptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The message boxes on screen: the buttons asked for, Enter on the default, Escape on the
    // safe answer, and the answer of the button pressed.
    void messageBoxesAnswerTheButtonPressed() {
        using A = PromptAnswer;
        using B = PromptButtons;
        const int enter = Qt::Key_Return, escape = Qt::Key_Escape;
        const int yesNo = QMessageBox::Yes | QMessageBox::No, three = yesNo | QMessageBox::Cancel;
        const struct {
            const char* name;
            B buttons;
            A defaultAnswer;
            int key;
            int button;
            int shown;
            A answer;
        } cases[] = {{"ok by Enter", B::Ok, A::Yes, enter, 0, QMessageBox::Ok, A::Ok},
                     {"ok cancel by Escape", B::OkCancel, A::Yes, escape, 0,
                      QMessageBox::Ok | QMessageBox::Cancel, A::Cancel},
                     {"yes is the default", B::YesNo, A::Yes, enter, 0, yesNo, A::Yes},
                     {"no is the default", B::YesNo, A::No, enter, 0, yesNo, A::No},
                     {"escape says no", B::YesNo, A::Yes, escape, 0, yesNo, A::No},
                     {"escape cancels", B::YesNoCancel, A::Yes, escape, 0, three, A::Cancel},
                     {"no clicked", B::YesNoCancel, A::Yes, 0, QMessageBox::No, three, A::No},
                     {"yes clicked", B::YesNoCancel, A::No, 0, QMessageBox::Yes, three, A::Yes}};
        DialogPrompts prompts;
        for (const auto& c : cases) {
            QString seen;
            answerNextBox(&seen, c.key, c.button);
            const A given = prompts.ask(u"Catalogue Repair Complete"_s, u"Go?"_s, c.buttons,
                                        PromptIcon::Question, c.defaultAnswer);
            QCOMPARE(seen, u"Catalogue Repair Complete|Go?|%1|fits"_s.arg(c.shown, 0, 16));
            QVERIFY2(given == c.answer, c.name);
        }
    }

    void inputBoxAnswersTheTypedTextOrNothing() {
        DialogPrompts prompts;
        QStringList answers;
        for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
            QTimer::singleShot(0, [key] {
                auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                QVERIFY(box && box->windowTitle() == u"Go To"_s && box->labelText() == u"Label:"_s);
                QCOMPARE(box->pos(), QPoint(40, 50));
                box->setTextValue(box->textValue() + u" 7"_s);
                QTest::keyClick(box, Qt::Key(key));
            });
            answers << prompts.inputText(u"Go To"_s, u"Label:"_s, u"A-1"_s, QPoint(40, 50));
        }
        QCOMPARE(answers, QStringList({u"A-1 7"_s, QString()}));
    }
};

TOMEKEEP_TEST(PromptsTest);
#include "tst_prompts.moc"
