#pragma once

#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };
enum class PromptIcon { None, Information, Warning, Critical, Question };

// Every message, question, input box and file dialog the user sees goes through here, so a
// test can answer them from a script and read back exactly what was asked.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A question's default button (the one Enter presses) is Yes, unless the question destroys
    // on Yes: then it names No, so that Enter keeps what the user has.
    virtual PromptAnswer ask(const QString& title, const QString& text, PromptButtons buttons,
                             PromptIcon icon, PromptAnswer defaultAnswer) = 0;
    PromptAnswer ask(const QString& title, const QString& text, PromptButtons buttons, PromptIcon icon) {
        return ask(title, text, buttons, icon, PromptAnswer::Yes);
    }
    // The typed text, or an empty text when the user cancels (as an input box answers).
    virtual QString inputText(const QString& title, const QString& prompt, const QString& initialText,
                              std::optional<QPoint> position) = 0;
    // The chosen path, empty when the user cancels.
    virtual QString chooseOpenFile(const QString& title, const QString& startPath, const QString& filter) = 0;
    virtual QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) = 0;

    void tell(const QString& title, const QString& text, PromptIcon icon = PromptIcon::Information) {
        ask(title, text, PromptButtons::Ok, icon);
    }
};

// The prompts in force; message boxes until something else is installed.
Prompts& prompts();
// The message of a failure: the title "Error" and an OK button.
inline void TellError(const QString& text) {
    prompts().tell(QStringLiteral("Error"), text, PromptIcon::Critical);
}
// Installs new prompts and answers the ones they replace.
std::unique_ptr<Prompts> installPrompts(std::unique_ptr<Prompts> replacement);

// Message boxes, input boxes and file dialogs on screen, over the active window.
class DialogPrompts : public Prompts {
public:
    using Prompts::ask;
    PromptAnswer ask(const QString& title, const QString& text, PromptButtons buttons, PromptIcon icon,
                     PromptAnswer defaultAnswer) override;
    QString inputText(const QString& title, const QString& prompt, const QString& initialText,
                      std::optional<QPoint> position) override;
    QString chooseOpenFile(const QString& title, const QString& startPath, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) override;
};
