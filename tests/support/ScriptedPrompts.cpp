#include "support/ScriptedPrompts.h"

ScriptedPrompts& ScriptedPrompts::answer(PromptAnswer answer) {
    m_answers.append(answer);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::input(const QString& text) {
    m_texts.append(text);
    return *this;
}

PromptAnswer ScriptedPrompts::ask(const QString& title, const QString& text, PromptButtons buttons,
                                  PromptIcon, PromptAnswer defaultAnswer) {
    Record record{Kind::Message, title, text, buttons, m_answers.isEmpty(), defaultAnswer};
    m_records.append(record);
    return record.unexpected ? PromptAnswer::Cancel : m_answers.takeFirst();
}

QString ScriptedPrompts::takeText(Kind kind, const QString& title, const QString& text) {
    Record record{kind, title, text, PromptButtons::OkCancel, m_texts.isEmpty()};
    m_records.append(record);
    return record.unexpected ? QString() : m_texts.takeFirst();
}

QString ScriptedPrompts::inputText(const QString& title, const QString& prompt, const QString& initialText,
                                   std::optional<QPoint>) {
    m_lastInitialText = initialText;
    return takeText(Kind::Input, title, prompt);
}

QString ScriptedPrompts::chooseOpenFile(const QString& title, const QString& startPath, const QString&) {
    m_lastStartPath = startPath;
    return takeText(Kind::OpenFile, title, startPath);
}

QString ScriptedPrompts::chooseSaveFile(const QString& title, const QString& startPath, const QString&) {
    m_lastStartPath = startPath;
    return takeText(Kind::SaveFile, title, startPath);
}

QStringList ScriptedPrompts::texts() const {
    QStringList all;
    for (const Record& record : m_records)
        all << record.text;
    return all;
}

QStringList ScriptedPrompts::unexpected() const {
    QStringList found;
    for (const Record& record : m_records) {
        if (record.unexpected)
            found << record.title + u": "_s + record.text;
    }
    return found;
}

void ScriptedPrompts::clear() {
    m_records.clear();
    m_answers.clear();
    m_texts.clear();
}
