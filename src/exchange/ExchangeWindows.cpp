#include "exchange/ExchangeWindows.h"

#include "app/Modal.h"
#include "app/Paths.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "app/WaitPointer.h"
#include "backup/Backup.h"
#include "exchange/Exporter.h"
#include "exchange/Importer.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Text files come first so that the file dialog offers them until the user picks another filter.
const QString kFileFilter = QStringLiteral("Text files (*.txt);;All files (*.*)");

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* created = new QPushButton(caption, parent);
    created->setObjectName(name);
    return created;
}

QString booksImportedText(const ImportResult& result) {
    QString text = QString::number(result.imported) + QStringLiteral(" books imported.");
    if (result.skipped == 1)
        text += QStringLiteral("\n\nLine %1 was skipped because it does not hold the 18 fields of a book.")
                    .arg(result.firstSkippedLine);
    else if (result.skipped > 1)
        text += QStringLiteral("\n\n%1 lines were skipped because they do not hold the 18 fields of a book "
                               "(the first is line %2).")
                    .arg(result.skipped)
                    .arg(result.firstSkippedLine);
    return text;
}

} // namespace

void ShowExportWindow(QWidget* parent) {
    frmExport window(parent);
    RunModal(window);
}

void ShowImportWindow(QWidget* parent, const std::function<void()>& populateList) {
    frmImport window(parent, populateList);
    RunModal(window);
}

ExchangeWindow::ExchangeWindow(QWidget* parent, const ExchangeWindowText& text)
    : QDialog(parent)
    , m_text(text) {
    setObjectName(text.objectName);
    setWindowTitle(text.caption);
    if (parent)
        setWindowIcon(parent->windowIcon());
    lblHelp = new QLabel(text.help, this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblFilename = new QLabel(QStringLiteral("Filename:"), this);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    txtFilename = new QLineEdit(GetSetting(text.filenameSetting, DefaultExchangeFile()), this);
    txtFilename->setObjectName(QStringLiteral("txtFilename"));
    txtFilename->setMinimumWidth(320);
    lblFilename->setBuddy(txtFilename);
    cmdBrowse = button(this, QStringLiteral("cmdBrowse"), QStringLiteral("..."));
    cmdBrowse->setAutoDefault(false);
    cmdBrowse->setMaximumWidth(cmdBrowse->fontMetrics().horizontalAdvance(cmdBrowse->text()) * 3);
    m_action = button(this, text.actionName, text.actionCaption);
    m_action->setDefault(true);
    cmdClose = button(this, QStringLiteral("cmdClose"), QStringLiteral("Close"));
    cmdClose->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblHelp, 0, 0, 1, 3);
    grid->addWidget(lblFilename, 1, 0);
    grid->addWidget(txtFilename, 1, 1);
    grid->addWidget(cmdBrowse, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_action);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(cmdBrowse, &QPushButton::clicked, this, &ExchangeWindow::cmdBrowse_Click);
    connect(m_action, &QPushButton::clicked, this, [this] { runAction(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void ExchangeWindow::cmdBrowse_Click() {
    const QString chosen = chooseFile(kFileFilter);
    if (!chosen.isEmpty())
        txtFilename->setText(chosen);
}

frmExport::frmExport(QWidget* parent)
    : ExchangeWindow(parent, {QStringLiteral("frmExport"), QStringLiteral("Export Books"),
                              QStringLiteral("Export your books to a comma delimited file."),
                              QStringLiteral("ExportFilename"), QStringLiteral("cmdExport"),
                              QStringLiteral("Export")}) {
    cmdExport = actionButton();
}

QString frmExport::chooseFile(const QString& filter) {
    return prompts().chooseSaveFile(text().caption, txtFilename->text(), filter);
}

void frmExport::runAction() {
    const QString name = txtFilename->text();
    if (QFileInfo::exists(name) &&
        prompts().ask(QStringLiteral("Overwrite Warning"),
                      u'\'' + name + QStringLiteral("' already exists. Overwrite?"),
                      PromptButtons::YesNoCancel, PromptIcon::Warning) != PromptAnswer::Yes)
        return;
    SaveSetting(text().filenameSetting, name);
    WaitPointer wait;
    cmdExport->setEnabled(false);
    const ExportResult result = ExportBooks(name, [this](const QString& title) { showBookTitle(title); });
    restoreCaption();
    wait.restore();
    switch (result.status) {
    case ExportResult::Status::Done:
        prompts().tell(QStringLiteral("Export complete"),
                       QString::number(result.count) + QStringLiteral(" books exported."));
        break;
    case ExportResult::Status::CannotWrite:
        TellError(
            QStringLiteral("Cannot write to file.  Make sure it is not opened by another application."));
        break;
    case ExportResult::Status::Failed:
        TellError(
            QStringLiteral("The export stopped after %1 books.\n\n%2").arg(result.count).arg(result.error));
        break;
    }
    cmdExport->setEnabled(true);
    accept();
}

frmImport::frmImport(QWidget* parent, std::function<void()> populateList)
    : ExchangeWindow(parent, {QStringLiteral("frmImport"), QStringLiteral("Import Books"),
                              QStringLiteral("Import your books from a comma delimited file."),
                              QStringLiteral("ImportFilename"), QStringLiteral("cmdImport"),
                              QStringLiteral("Import")})
    , m_populateList(std::move(populateList)) {
    cmdImport = actionButton();
}

QString frmImport::chooseFile(const QString& filter) {
    return prompts().chooseOpenFile(text().caption, txtFilename->text(), filter);
}

void frmImport::runAction() {
    const QString name = txtFilename->text();
    if (!QFileInfo::exists(name)) {
        prompts().tell(QStringLiteral("Tomekeep"), u'\'' + name + QStringLiteral("' does not exist."));
        return;
    }
    if (!BackUpBeforeChange())
        return;
    SaveSetting(text().filenameSetting, name);
    WaitPointer wait;
    cmdImport->setEnabled(false);
    const ImportResult result =
        ImportExchangeFile(name, [this](const QString& title) { showBookTitle(title); });
    restoreCaption();
    cmdImport->setEnabled(true);
    wait.restore();
    switch (result.status) {
    case ImportResult::Status::CannotOpen:
        TellError(result.error);
        return;
    case ImportResult::Status::WrongFormat:
        TellError(QStringLiteral("This file is not in the correct format.  To see a valid file layout,\n"
                                 "examine the file created by the Export Books option."));
        return;
    case ImportResult::Status::Done:
        if (m_populateList)
            m_populateList();
        prompts().tell(QStringLiteral("Import complete"), booksImportedText(result));
        break;
    case ImportResult::Status::Failed:
        // The books before the failing line are in the catalogue: the list shows them.
        if (m_populateList)
            m_populateList();
        TellError(QStringLiteral("The import stopped at line %1.\n\n%2\n\n")
                      .arg(result.failedLine)
                      .arg(result.error) +
                  booksImportedText(result));
        break;
    }
    accept();
}
