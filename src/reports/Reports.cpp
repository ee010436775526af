#include "reports/Reports.h"

#include "reports/ReportClasses.h"
#include "reports/frmPrinting.h"

std::unique_ptr<Report> MakeReport(ReportKind kind) {
    switch (kind) {
    case ReportKind::CostSummary:
        return std::make_unique<clsReportCost>();
    case ReportKind::InventoryByLocation:
        return std::make_unique<clsReportInventory>();
    case ReportKind::BooksLentOut:
        return std::make_unique<clsReportLent>();
    case ReportKind::DetailedListing:
        return std::make_unique<clsReportDetailed>();
    case ReportKind::BookListing:
    case ReportKind::ListingByLabel:
        break;
    }
    return std::make_unique<clsReport>(DefinitionOf(kind));
}

void RunReport(ReportKind kind) {
    const std::unique_ptr<Report> report = MakeReport(kind);
    if (report->IsReportReady())
        report->PrintReport();
}

void CancelReport() {
    gReportCancelled = true;
}
