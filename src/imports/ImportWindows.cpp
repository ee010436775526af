#include "imports/ImportWindows.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "backup/Backup.h"
#include "imports/CsvExport.h"
#include "main/BookText.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString kImportCaption = QStringLiteral("Import from Other Programs");
const QString kImportSetting = QStringLiteral("ForeignImportFilename");
const QString kExportSetting = QStringLiteral("CsvExportFilename");
constexpr int kPreviewRows = 10;
constexpr int kListedSkips = 20;
constexpr int kProgressSteps = 1000;

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QStringList previewColumns() {
    return {QStringLiteral("Line"),     QStringLiteral("Title"),    QStringLiteral("Author"),
            QStringLiteral("ISBN"),     QStringLiteral("Stars"),    QStringLiteral("Pages"),
            QStringLiteral("Year"),     QStringLiteral("Acquired"), QStringLiteral("Format"),
            QStringLiteral("Location"), QStringLiteral("Notes")};
}

QStringList previewTexts(const ForeignRow& row) {
    const QString line = QString::number(row.line);
    if (!row.mapped.book)
        return {line, QStringLiteral("Skipped: ") + row.mapped.refusal};
    const ImportedBook& book = *row.mapped.book;
    const auto number = [](int value) {
        return value > 0 ? QString::number(value) : QString();
    };
    return {line,
            book.title,
            book.author,
            book.isbn,
            StarsText(book.stars),
            number(book.pages),
            number(book.copyright),
            DateText(book.acquired),
            book.format,
            book.location,
            book.notes.section(u'\n', 0, 0)};
}

QString kindText(const ForeignPreview& preview) {
    if (!preview.error.isEmpty())
        return preview.error;
    switch (preview.kind) {
    case ForeignKind::Goodreads:
    case ForeignKind::LibraryThing:
        return QStringLiteral("This is a %1. The first books as they will be stored:")
            .arg(ForeignKindName(preview.kind));
    case ForeignKind::Exchange:
        return QStringLiteral("This is a Tomekeep exchange file: read it with Tools, Import from file.");
    case ForeignKind::Unknown:
        break;
    }
    return QStringLiteral("This file is not a Goodreads or LibraryThing export: its first line does not "
                          "name their columns.");
}

QString startFolder(const QString& setting) {
    const QString saved = GetSetting(setting);
    return saved.isEmpty() ? QDir::homePath() : saved;
}

} // namespace

QString ImportSummaryText(const ForeignImportResult& result) {
    QString text = QStringLiteral("%1 books added, %2 updated, %3 skipped.")
                       .arg(result.added)
                       .arg(result.updated)
                       .arg(result.skipped.size());
    if (result.skipped.isEmpty())
        return text;
    text += QStringLiteral("\n\nSkipped:");
    for (qsizetype i = 0; i < result.skipped.size() && i < kListedSkips; ++i)
        text += QStringLiteral("\nLine %1: %2").arg(result.skipped[i].line).arg(result.skipped[i].reason);
    if (result.skipped.size() > kListedSkips)
        text += QStringLiteral("\n... and %1 more.").arg(result.skipped.size() - kListedSkips);
    return text;
}

void ShowForeignImportWindow(QWidget* parent, const std::function<void()>& populateList) {
    frmImportOther window(parent, populateList);
    RunModal(window);
}

void ExportCsvCommand() {
    const QString path = prompts().chooseSaveFile(QStringLiteral("Export to CSV"),
                                                  startFolder(kExportSetting) + QStringLiteral("/Books.csv"),
                                                  QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    SaveSetting(kExportSetting, QFileInfo(path).absolutePath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CsvExportResult result = ExportCsv(path);
    QApplication::restoreOverrideCursor();
    if (result.done)
        prompts().tell(QStringLiteral("Export complete"),
                       QString::number(result.count) + QStringLiteral(" books exported."));
    else
        TellError(result.error);
}

frmImportOther::frmImportOther(QWidget* parent, std::function<void()> populateList)
    : QDialog(parent)
    , m_populateList(std::move(populateList)) {
    setObjectName(QStringLiteral("frmImportOther"));
    setWindowTitle(kImportCaption);
    if (parent)
        setWindowIcon(parent->windowIcon());
    lblHelp = new QLabel(QStringLiteral("Import your books from a Goodreads or LibraryThing export."), this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    txtFilename = new QLineEdit(this);
    txtFilename->setObjectName(QStringLiteral("txtFilename"));
    txtFilename->setReadOnly(true);
    txtFilename->setMinimumWidth(420);
    cmdBrowse = newButton(this, "cmdBrowse", QStringLiteral("&Choose File..."));
    lblKind = new QLabel(QStringLiteral("Choose the file another program exported."), this);
    lblKind->setObjectName(QStringLiteral("lblKind"));
    lblKind->setWordWrap(true);
    lstPreview = new QTreeWidget(this);
    lstPreview->setObjectName(QStringLiteral("lstPreview"));
    lstPreview->setRootIsDecorated(false);
    lstPreview->setHeaderLabels(previewColumns());
    lstPreview->setMinimumSize(720, 220);
    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setRange(0, kProgressSteps);
    prgImport->setValue(0);
    cmdImport = newButton(this, "cmdImport", QStringLiteral("&Import"));
    cmdImport->setEnabled(false);
    cmdImport->setDefault(true);
    cmdCancel = newButton(this, "cmdCancel", QStringLiteral("Cancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblHelp, 0, 0, 1, 2);
    grid->addWidget(txtFilename, 1, 0);
    grid->addWidget(cmdBrowse, 1, 1);
    grid->addWidget(lblKind, 2, 0, 1, 2);
    grid->addWidget(lstPreview, 3, 0, 1, 2);
    grid->addWidget(prgImport, 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 5, 0, 1, 2);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmImportOther::cmdBrowse_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmImportOther::cmdImport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmImportOther::reject);
}

void frmImportOther::cmdBrowse_Click() {
    const QString path =
        prompts().chooseOpenFile(kImportCaption, startFolder(kImportSetting),
                                 QStringLiteral("Exported books (*.csv *.tsv *.txt);;All files (*)"));
    if (!path.isEmpty())
        loadFile(path);
}

void frmImportOther::loadFile(const QString& path) {
    SaveSetting(kImportSetting, QFileInfo(path).absolutePath());
    txtFilename->setText(QDir::toNativeSeparators(path));
    showPreview(PreviewForeignFile(path, kPreviewRows));
}

void frmImportOther::showPreview(const ForeignPreview& preview) {
    lblKind->setText(kindText(preview));
    lstPreview->clear();
    for (const ForeignRow& row : preview.rows)
        lstPreview->addTopLevelItem(new QTreeWidgetItem(previewTexts(row)));
    lstPreview->header()->resizeSections(QHeaderView::ResizeToContents);
    prgImport->setValue(0);
    cmdImport->setEnabled(preview.error.isEmpty() && (preview.kind == ForeignKind::Goodreads ||
                                                      preview.kind == ForeignKind::LibraryThing));
}

bool frmImportOther::showProgress(qint64 done, qint64 total) {
    // Letting events through for every book would cost more than the import itself.
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() > 50) {
        prgImport->setValue(total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0);
        QApplication::processEvents();
        m_sinceEvents.restart();
    }
    return !m_cancelled;
}

void frmImportOther::cmdImport_Click() {
    // The catalogue is copied before the import changes many books; without the copy nothing runs.
    if (!BackUpBeforeChange())
        return;
    m_running = true;
    m_cancelled = false;
    cmdImport->setEnabled(false);
    cmdBrowse->setEnabled(false);
    const ForeignImportResult result =
        ImportForeignFile(QDir::fromNativeSeparators(txtFilename->text()),
                          [this](qint64 done, qint64 total) { return showProgress(done, total); });
    m_running = false;
    cmdBrowse->setEnabled(true);
    prgImport->setValue(0);
    switch (result.status) {
    case ForeignImportResult::Status::Done:
        prgImport->setValue(kProgressSteps);
        if (m_populateList)
            m_populateList();
        prompts().tell(QStringLiteral("Import complete"), ImportSummaryText(result));
        accept();
        return;
    case ForeignImportResult::Status::Cancelled:
        prompts().tell(kImportCaption,
                       QStringLiteral("The import was cancelled. The catalogue is as it was."));
        break;
    case ForeignImportResult::Status::UnknownKind:
        TellError(kindText({result.kind, {}, {}}));
        break;
    case ForeignImportResult::Status::BadFile:
    case ForeignImportResult::Status::Failed:
        TellError(result.error + QStringLiteral("\n\nNothing was imported: the catalogue is as it was."));
        break;
    }
    cmdImport->setEnabled(true);
}

void frmImportOther::reject() {
    if (m_running)
        m_cancelled = true;
    else
        QDialog::reject();
}
