#include "reports/PrintSpool.h"

#include "app/Prompts.h"
#include "app/Settings.h"
#include "reports/PainterSurface.h"
#include "reports/PaperSizes.h"
#include "reports/PreviewDocument.h"
#include "reports/Printers.h"
#include "reports/frmPrinting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <limits>
#include <memory>

namespace {

// The printable area starts this far in from the paper's edges, where printers can print.
constexpr double kMarginInches = 0.25;

// The printer as printing draws on it: pages in twips from the printable area's corner.
class PrinterSurface : public PainterSurface, public PrintPages {
public:
    explicit PrinterSurface(QPrinter& printer)
        : m_printer(printer) {
        setDevice(&printer);
    }
    ~PrinterSurface() override { endPainting(); }

    bool begin() { return beginPainting(); }
    void end() { endPainting(); }

    void newPage() override { m_printer.newPage(); }
    void setOrientation(int code) override {
        if (code == kOrientationPortrait || code == kOrientationLandscape)
            m_printer.setPageOrientation(code == kOrientationPortrait ? QPageLayout::Portrait
                                                                      : QPageLayout::Landscape);
    }
    void setPaperSize(int code) override {
        if (code == kPaperLetter || code == kPaperLegal)
            m_printer.setPageSize(QPageSize(code == kPaperLetter ? QPageSize::Letter : QPageSize::Legal));
    }

private:
    QPrinter& m_printer;
};

int copiesSetting() {
    const int copies = GetNumericSetting(QStringLiteral("Copies"), 1);
    return std::clamp(copies, 1, static_cast<int>(std::numeric_limits<qint16>::max()));
}

QString suggestedPdfPath(const QString& reportName) {
    const QString name = reportName.isEmpty() ? QStringLiteral("Report") : reportName;
    return QDir::homePath() + u'/' + QString(name).replace(u'/', u'-') + QStringLiteral(".pdf");
}

// The printer to print on: the one the settings name, else a PDF file the user chooses when
// there is no printer at all. Nothing when the user chooses no file.
std::unique_ptr<QPrinter> choosePrinter(const QString& reportName) {
    const QString saved = GetSetting(QStringLiteral("Printer"));
    if (!saved.isEmpty())
        SelectPrinter(saved);
    SetCurrentPrinterCopies(copiesSetting());
    const QString current = CurrentPrinterName();
    const QPrinterInfo info = QPrinterInfo::printerInfo(current);
    if (!current.isEmpty() && !info.isNull()) {
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        printer->setCopyCount(CurrentPrinterCopies());
        return printer;
    }
    const QString file = prompts().chooseSaveFile(
        QStringLiteral("Print to PDF"), suggestedPdfPath(reportName), QStringLiteral("PDF files (*.pdf)"));
    if (file.isEmpty())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

} // namespace

PrintOutcome PrintSpoolTo(QPrinter& printer, PreviewDocument& document,
                          const PrintRenderer::Progress& progress) {
    document.Load();
    printer.setDocName(document.Header().reportName);
    PrinterSurface surface(printer);
    surface.setOrientation(document.Header().orientation);
    surface.setPaperSize(document.Header().paperSize);
    printer.setPageMargins(QMarginsF(kMarginInches, kMarginInches, kMarginInches, kMarginInches),
                           QPageLayout::Inch);
    if (!surface.begin())
        return PrintOutcome::Failed;
    // Printing keeps its own line height and stops: the preview's stay as the screen set them.
    RenderState state = document.State();
    PrintRenderer renderer(surface, surface, document.Canvas(), state, progress);
    SpoolFileReader reader(document.SpoolPath(), document.Key());
    if (!renderer.print(reader)) {
        printer.abort();
        return PrintOutcome::Cancelled;
    }
    surface.end();
    return PrintOutcome::Printed;
}

PrintOutcome PrintSpool(PreviewDocument& document) {
    document.Load();
    const QString reportName = document.Header().reportName;
    const std::unique_ptr<QPrinter> printer = choosePrinter(reportName);
    if (!printer)
        return PrintOutcome::NotStarted;

    OpenPrintingWindow(QStringLiteral("Printing"), reportName, false);
    gReportCancelled = false;
    QApplication::processEvents();
    const PrintRenderer::Progress progress{[] { return gReportCancelled; },
                                           [&reportName](int page) {
                                               if (frmPrinting* window = PrintingWindow())
                                                   window->SetReportPage(reportName, page);
                                               QApplication::processEvents();
                                           }};
    const PrintOutcome outcome = PrintSpoolTo(*printer, document, progress);
    ClosePrintingWindow();
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat;
    if (outcome == PrintOutcome::Cancelled && toFile)
        QFile::remove(printer->outputFileName());
    if (outcome == PrintOutcome::Failed) {
        const QString where = toFile ? printer->outputFileName() : printer->printerName();
        TellError(QStringLiteral("Cannot print to ") + where + u'.');
    }
    return outcome;
}
