#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Set by the printing window's Cancel button; the report being written stops after its
// current record and printing stops after its current command. Cleared when a report is
// begun and when printing starts.
extern bool gReportCancelled;

// Shown, never modally, while a report is written or printed: which report, which page, how
// full the page is, and a Cancel button.
class frmPrinting : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinting(QWidget* parent = nullptr);

    // "Name, Page: n" in the report label, drawn at once.
    void SetReportPage(const QString& reportName, int page);
    void SetPercentage(const QString& text);

    QLabel* lblPrint = nullptr;
    QLabel* lblPct = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdCancel_Click();
};

// The one printing window: opened with its caption and the report's first page, the
// percentage label shown or hidden; closed when the work ends (or by its Cancel button).
frmPrinting* OpenPrintingWindow(const QString& caption, const QString& reportName, bool showPercentage);
frmPrinting* PrintingWindow();
void ClosePrintingWindow();
