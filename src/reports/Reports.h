#pragma once

#include "reports/Report.h"

#include <memory>

class QWidget;

// The six reports of the Reports menu.
enum class ReportKind {
    BookListing,
    ListingByLabel,
    DetailedListing,
    InventoryByLocation,
    CostSummary,
    BooksLentOut
};

std::unique_ptr<Report> MakeReport(ReportKind kind);
// Runs a report over the open catalogue into the preview. Does nothing while another report
// is still being written (window events run meanwhile, so its menu item can be chosen).
void RunReport(ReportKind kind);
// Stops the report being written after its current book, as its Cancel button does.
void CancelReport();
// Opens the print setup dialog (modal) over the window.
void ShowPrintSetup(QWidget* parent);
