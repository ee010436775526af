#include "reports/frmPrinting.h"

#include "app/Twips.h"
#include "reports/TwipsRect.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <memory>

bool gReportCancelled = false;

namespace {

constexpr int kWindowWidth = 4800;
constexpr int kWindowHeight = 1800;
constexpr int kMargin = 240;
constexpr int kLabelHeight = 285;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

std::unique_ptr<frmPrinting>& theWindow() {
    static std::unique_ptr<frmPrinting> current;
    return current;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(TwipsRect(kMargin, top, kWindowWidth - 2 * kMargin, kLabelHeight));
    return label;
}

} // namespace

frmPrinting::frmPrinting(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrinting"));
    setWindowTitle(QStringLiteral("Printing"));
    setModal(false);
    if (QWidget* main = QApplication::activeWindow())
        setWindowIcon(main->windowIcon());
    lblPrint = makeLabel(this, QStringLiteral("lblPrint"), QStringLiteral("Printing..."), kMargin);
    lblPct = makeLabel(this, QStringLiteral("lblPct"), QString(), kMargin + kLabelHeight + 60);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(TwipsRect((kWindowWidth - kButtonWidth) / 2,
                                     kWindowHeight - kMargin - kButtonHeight, kButtonWidth, kButtonHeight));
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrinting::cmdCancel_Click);
    setFixedSize(TwipsToPixels(kWindowWidth), TwipsToPixels(kWindowHeight));
}

void frmPrinting::SetReportPage(const QString& reportName, int page) {
    lblPrint->setText(reportName + QStringLiteral(", Page: ") + QString::number(page));
    lblPrint->repaint();
}

void frmPrinting::SetPercentage(const QString& text) {
    lblPct->setText(text);
}

void frmPrinting::cmdCancel_Click() {
    gReportCancelled = true;
    close();
}

frmPrinting* OpenPrintingWindow(const QString& caption, const QString& reportName, bool showPercentage) {
    ClosePrintingWindow();
    theWindow() = std::make_unique<frmPrinting>();
    theWindow()->setWindowTitle(caption);
    theWindow()->SetReportPage(reportName, 1);
    theWindow()->lblPct->setVisible(showPercentage);
    theWindow()->show();
    return theWindow().get();
}

frmPrinting* PrintingWindow() {
    return theWindow().get();
}

void ClosePrintingWindow() {
    if (theWindow())
        theWindow()->close();
    theWindow().reset();
}
