#pragma once

#include "imports/ForeignImport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

// Tools, Import from Other Programs: the import window, modal; populateList reloads the main
// window's list after books came in.
void ShowForeignImportWindow(QWidget* parent, const std::function<void()>& populateList);
// Tools, Export to CSV: asks for the file, writes it and says how many books it holds.
void ExportCsvCommand();

// What an import did, in words: the counts, then each skipped line with its reason.
QString ImportSummaryText(const ForeignImportResult& result);

// Chooses a Goodreads or LibraryThing export, shows its kind and its first rows as they will be
// stored, and imports it with a progress bar whose Cancel leaves the catalogue as it was.
class frmImportOther : public QDialog {
    Q_OBJECT
public:
    frmImportOther(QWidget* parent, std::function<void()> populateList);

    // Shows the kind and first rows of the file; Import is offered only for a file it can read.
    void loadFile(const QString& path);

    QLabel* lblHelp = nullptr;
    QLineEdit* txtFilename = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblKind = nullptr;
    QTreeWidget* lstPreview = nullptr;
    QProgressBar* prgImport = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Cancel, Esc and the close box cancel a running import instead of leaving it behind.
    void reject() override;

private:
    void cmdBrowse_Click();
    void cmdImport_Click();
    bool showProgress(qint64 done, qint64 total);
    void showPreview(const ForeignPreview& preview);

    std::function<void()> m_populateList;
    bool m_running = false;
    bool m_cancelled = false;
    QElapsedTimer m_sinceEvents;
};
