// The main window's entries into the other parts of the program: lookup lists, searches,
// reports and catalogue tools. Each saves the shown book first where leaving it matters.
#include "app/ProgressWindows.h"
#include "backup/frmRestore.h"
#include "exchange/ExchangeWindows.h"
#include "imports/ImportWindows.h"
#include "lookups/LookupLists.h"
#include "main/Maintenance.h"
#include "main/frmStartOver.h"
#include "main/frmWizard.h"
#include "reports/Reports.h"
#include "search/Searches.h"

#include <QAction>
#include <vector>

namespace {

struct Command {
    QAction* entry;
    std::function<void()> run;
    bool saveFirst;
};

} // namespace

void frmWizard::ConnectSubsystemCommands() {
    const auto list = [this](LookupList which) {
        return [this, which] {
            ShowLookupList(which, this);
        };
    };
    const auto search = [this](SearchKind kind) {
        return [this, kind] {
            ShowSearch(kind, this, ListReloader());
        };
    };
    const auto report = [this](ReportKind kind) {
        return [this, kind] {
            RunWithoutInput([kind] { RunReport(kind); }, CancelReport);
        };
    };
    const std::vector<Command> commands = {
        {mnuFilePrinterSetup, [this] { ShowPrintSetup(this); }, false},
        // A restore replaces the books: the shown one is saved first, so it is in the backup.
        {mnuFileRestore, [this] { ShowRestoreFromBackup(this, ListReloader()); }, true},
        {mnuSearchTitle, search(SearchKind::Title), true},
        {mnuSearchAuthor, search(SearchKind::Author), true},
        {mnuSearchSubject, search(SearchKind::Subject), true},
        {mnuSearchBookLabel, search(SearchKind::Label), true},
        {mnuSearchLocation, search(SearchKind::Location), true},
        {mnuSearchAward, search(SearchKind::Award), true},
        {mnuSearchPublisher, search(SearchKind::Publisher), true},
        {mnuSearchNotes, search(SearchKind::Notes), true},
        {mnuReportsBookListing, report(ReportKind::BookListing), true},
        {mnuReportListLabelNumber, report(ReportKind::ListingByLabel), true},
        {mnuReportDetailed, report(ReportKind::DetailedListing), true},
        {mnuReportsInventoryReport, report(ReportKind::InventoryByLocation), true},
        {mnuReportsCostReport, report(ReportKind::CostSummary), true},
        {mnuReportsBooksLentOut, report(ReportKind::BooksLentOut), true},
        {mnuSetupAuthors, list(LookupList::Authors), true},
        {mnuSetupSubjects, list(LookupList::Subjects), true},
        {mnuSetupFormats, list(LookupList::Formats), true},
        {mnuSetupRatings, list(LookupList::Ratings), true},
        {mnuSetupAwards, list(LookupList::Awards), true},
        {mnuSetupStorageLocations, list(LookupList::Locations), true},
        // The catalogue tools work on the catalogue as stored and leave the editor alone.
        {mnuSetupDeleteUnusedAuthors, [] { DeleteUnusedAuthors(); }, false},
        {mnuToolsExport, [this] { ShowExportWindow(this); }, true},
        {mnuToolsImport, [this] { ShowImportWindow(this, ListReloader()); }, true},
        {mnuToolsImportOther, [this] { ShowForeignImportWindow(this, ListReloader()); }, true},
        {mnuToolsExportCsv, [] { ExportCsvCommand(); }, true},
        // A repair may point the shown book at "(unknown)": that change is this program's own.
        {mnuToolsCheckData,
         [this] {
             RunWithoutInput(
                 [this] {
                     CheckAndRepair([this] {
                         rebaseShownBook();
                         PopulateLstMain();
                     });
                 },
                 [] { gCancelled = true; });
         },
         false},
        {mnuToolsStartOver, [this] { ShowStartOver(this, [this] { CatalogueReplaced(); }); }, false},
    };
    for (const Command& command : commands)
        ConnectCommand(command.entry, command.run, command.saveFirst);
}
