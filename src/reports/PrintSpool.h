#pragma once

#include "reports/SpoolRenderer.h"

class PreviewDocument;
class QPrinter;

enum class PrintOutcome {
    Printed,
    Cancelled,
    NotStarted, // no printer and no file chosen to print to
    Failed,     // the printer (or file) could not be opened
};

// Prints every page of the preview document on a printer the caller has chosen, laid out for
// the paper and orientation of the report. A cancel part way aborts the printer's document.
PrintOutcome PrintSpoolTo(QPrinter& printer, PreviewDocument& document,
                          const PrintRenderer::Progress& progress);

// The preview's Print: the printer named by the "Printer" setting with the "Copies" setting,
// or, where no printer is installed, a PDF file the user names. The printing window shows
// the page being printed, and its Cancel button stops.
PrintOutcome PrintSpool(PreviewDocument& document);
