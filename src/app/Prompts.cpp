#include "app/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

// Room beside a window's title for what the window manager draws there: the window's icon and
// its minimise, maximise and close buttons.
constexpr int kTitleBarRoom = 160;

std::unique_ptr<Prompts>& installed() {
    static std::unique_ptr<Prompts> current = std::make_unique<DialogPrompts>();
    return current;
}

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButtons standardButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        return PromptAnswer::Cancel;
    }
}

QMessageBox::StandardButton standardButton(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Ok:
        return QMessageBox::Ok;
    case PromptAnswer::Cancel:
        return QMessageBox::Cancel;
    case PromptAnswer::Yes:
        return QMessageBox::Yes;
    case PromptAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// A message box is as wide as its text; a short text under a long title would have the title
// cut. The window manager draws titles in a face of its own, often bold: leave room for that.
void widenForTitle(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

Prompts& prompts() {
    return *installed();
}

std::unique_ptr<Prompts> installPrompts(std::unique_ptr<Prompts> replacement) {
    std::unique_ptr<Prompts> previous = std::move(installed());
    installed() = std::move(replacement);
    return previous;
}

PromptAnswer DialogPrompts::ask(const QString& title, const QString& text, PromptButtons buttons,
                                PromptIcon icon, PromptAnswer defaultAnswer) {
    QMessageBox box(boxIcon(icon), title, text, standardButtons(buttons), ownerWindow());
    widenForTitle(box, title);
    if (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel)
        box.setDefaultButton(standardButton(defaultAnswer));
    if (buttons == PromptButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    return answerOf(box.exec());
}

QString DialogPrompts::inputText(const QString& title, const QString& prompt, const QString& initialText,
                                 std::optional<QPoint> position) {
    QInputDialog dialog(ownerWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initialText);
    if (position)
        dialog.move(*position);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString DialogPrompts::chooseOpenFile(const QString& title, const QString& startPath, const QString& filter) {
    return QFileDialog::getOpenFileName(ownerWindow(), title, startPath, filter);
}

QString DialogPrompts::chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) {
    return QFileDialog::getSaveFileName(ownerWindow(), title, startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
