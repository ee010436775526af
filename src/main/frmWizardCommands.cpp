// The main window's entries into the other parts of the program: lookup lists, searches,
// reports and catalogue tools. Each saves the shown book first where leaving it matters.
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
    const auto report = [](ReportKind kind) {
        return [kind] {
            RunReport(kind);
        };
    };
    const std::vector<Command> commands = {
        {mnuFilePrinterSetup, [this] { ShowPrintSetup(this); }, false},
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
        {mnuToolsCheckData, [this] { CheckAndRepair(ListReloader()); }, false},
        {mnuToolsStartOver, [this] { ShowStartOver(this, ListReloader()); }, false},
    };
    for (const Command& command : commands)
        ConnectCommand(command.entry, command.run, command.saveFirst);
}
