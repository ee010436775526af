#include "app/Prompts.h"
#include "support/TestMain.h"

Q_DECLARE_METATYPE(PromptButtons)
Q_DECLARE_METATYPE(PromptAnswer)

namespace {

// Once the next modal box is up: reads its title, text and buttons, then presses the key (or
// clicks the button when the key is 0).
void answerNextBox(QString* seen, int key, int button) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return answerNextBox(seen, key, button);
        *seen = u"%1|%2|%3"_s.arg(box->windowTitle(), box->text()).arg(int(box->standardButtons()), 0, 16);
        if (key)
            QTest::keyClick(box, Qt::Key(key));
        else
            box->button(QMessageBox::StandardButton(button))->click();
    });
}

} // namespace

// The message boxes on screen: the buttons asked for, Enter on the default, Escape on the
// safe answer, and the answer of the button pressed.
class PromptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxesAnswerTheButtonPressed_data() {
        QTest::addColumn<PromptButtons>("buttons");
        QTest::addColumn<PromptAnswer>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("shown");
        QTest::addColumn<PromptAnswer>("answer");
        const auto ok = PromptButtons::Ok;
        const auto yesNo = PromptButtons::YesNo;
        const auto all = PromptButtons::YesNoCancel;
        const auto yes = PromptAnswer::Yes;
        const auto no = PromptAnswer::No;
        const int none = 0;
        const int enter = Qt::Key_Return;
        const int escape = Qt::Key_Escape;
        const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
        const int yesOrNo = QMessageBox::Yes | QMessageBox::No;
        const int three = yesOrNo | QMessageBox::Cancel;
        AddRow("ok by Enter", ok, yes, enter, none, int(QMessageBox::Ok), PromptAnswer::Ok);
        AddRow("ok cancel by Escape", PromptButtons::OkCancel, yes, escape, none, okCancel,
               PromptAnswer::Cancel);
        AddRow("yes is the default", yesNo, yes, enter, none, yesOrNo, yes);
        AddRow("no is the default", yesNo, no, enter, none, yesOrNo, no);
        AddRow("escape says no", yesNo, yes, escape, none, yesOrNo, no);
        AddRow("escape cancels", all, yes, escape, none, three, PromptAnswer::Cancel);
        AddRow("no clicked", all, yes, none, int(QMessageBox::No), three, no);
        AddRow("yes clicked", all, no, none, int(QMessageBox::Yes), three, yes);
    }

    void messageBoxesAnswerTheButtonPressed() {
        QFETCH(PromptButtons, buttons);
        QFETCH(PromptAnswer, defaultAnswer);
        QFETCH(int, key);
        QFETCH(int, button);
        QFETCH(int, shown);
        QFETCH(PromptAnswer, answer);
        DialogPrompts prompts;
        QString seen;
        answerNextBox(&seen, key, button);
        const PromptAnswer given = prompts.ask(u"A Long Title for a Short Question"_s, u"Go?"_s, buttons,
                                               PromptIcon::Question, defaultAnswer);
        QCOMPARE(seen, u"A Long Title for a Short Question|Go?|%1"_s.arg(shown, 0, 16));
        QCOMPARE(given, answer);
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
