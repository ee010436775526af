#pragma once

#include "app/Prompts.h"
#include "support/TestMain.h"

// Prompts answered from a script. Every prompt is recorded with its exact words; a prompt
// that finds no scripted answer is recorded as unexpected and answered with Cancel.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile };

    struct Record {
        Kind kind;
        QString title;
        QString text;
        PromptButtons buttons = PromptButtons::Ok;
        bool unexpected = false;
        // The button Enter would have pressed.
        PromptAnswer defaultAnswer = PromptAnswer::Yes;
    };

    // Queue answers in the order the prompts will come.
    ScriptedPrompts& answer(PromptAnswer answer);
    ScriptedPrompts& answerOk() { return answer(PromptAnswer::Ok); }
    ScriptedPrompts& input(const QString& text);
    ScriptedPrompts& file(const QString& path) { return input(path); }

    using Prompts::ask;
    PromptAnswer ask(const QString& title, const QString& text, PromptButtons buttons, PromptIcon icon,
                     PromptAnswer defaultAnswer) override;
    QString inputText(const QString& title, const QString& prompt, const QString& initialText,
                      std::optional<QPoint> position) override;
    QString chooseOpenFile(const QString& title, const QString& startPath, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) override;

    const QList<Record>& records() const { return m_records; }
    // The texts of every prompt shown so far, in order.
    QStringList texts() const;
    const Record& last() const { return m_records.constLast(); }
    // The last prompt as "title: text".
    QString lastShown() const { return m_records.isEmpty() ? QString() : last().title + u": " + last().text; }
    int count() const { return static_cast<int>(m_records.size()); }
    // Prompts that came without a scripted answer.
    QStringList unexpected() const;
    void clear();
    // What the last input box offered before the user typed.
    QString lastInitialText() const { return m_lastInitialText; }
    QString lastStartPath() const { return m_lastStartPath; }

private:
    QString takeText(Kind kind, const QString& title, const QString& text);

    QList<Record> m_records;
    QList<PromptAnswer> m_answers;
    QList<QString> m_texts;
    QString m_lastInitialText;
    QString m_lastStartPath;
};
