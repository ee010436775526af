// The main window's entries into the other parts of the program: lookup lists, searches,
// reports and catalogue tools. Each saves the shown book first where leaving it matters.
#include "lookups/LookupLists.h"
#include "main/frmWizard.h"
#include "reports/Reports.h"
#include "search/Searches.h"

#include <QAction>

void frmWizard::ConnectSubsystemCommands() {
    const std::pair<QAction*, LookupList> lists[] = {
        {mnuSetupAuthors, LookupList::Authors}, {mnuSetupSubjects, LookupList::Subjects},
        {mnuSetupFormats, LookupList::Formats}, {mnuSetupRatings, LookupList::Ratings},
        {mnuSetupAwards, LookupList::Awards},   {mnuSetupStorageLocations, LookupList::Locations}};
    for (const auto& [entry, list] : lists)
        ConnectCommand(
            entry, [this, list = list] { ShowLookupList(list, this); }, true);

    const std::pair<QAction*, SearchKind> searches[] = {
        {mnuSearchTitle, SearchKind::Title},         {mnuSearchAuthor, SearchKind::Author},
        {mnuSearchSubject, SearchKind::Subject},     {mnuSearchBookLabel, SearchKind::Label},
        {mnuSearchLocation, SearchKind::Location},   {mnuSearchAward, SearchKind::Award},
        {mnuSearchPublisher, SearchKind::Publisher}, {mnuSearchNotes, SearchKind::Notes}};
    for (const auto& [entry, kind] : searches)
        ConnectCommand(
            entry, [this, kind = kind] { ShowSearch(kind, this, ListReloader()); }, true);

    const std::pair<QAction*, ReportKind> reports[] = {
        {mnuReportsBookListing, ReportKind::BookListing},
        {mnuReportListLabelNumber, ReportKind::ListingByLabel},
        {mnuReportDetailed, ReportKind::DetailedListing},
        {mnuReportsInventoryReport, ReportKind::InventoryByLocation},
        {mnuReportsCostReport, ReportKind::CostSummary},
        {mnuReportsBooksLentOut, ReportKind::BooksLentOut}};
    for (const auto& [entry, kind] : reports)
        ConnectCommand(
            entry, [kind = kind] { RunReport(kind); }, true);
    ConnectCommand(
        mnuFilePrinterSetup, [this] { ShowPrintSetup(this); }, false);
}
