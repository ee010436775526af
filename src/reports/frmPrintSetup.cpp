#include "reports/frmPrintSetup.h"

#include "app/Modal.h"
#include "app/Settings.h"
#include "app/Twips.h"
#include "reports/Printers.h"
#include "reports/Reports.h"
#include "reports/TwipsRect.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

namespace {

constexpr int kWindowWidth = 5160;
constexpr int kWindowHeight = 2160;
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1215;
constexpr int kFieldLeft = 1440;
constexpr int kFieldWidth = 3600;
constexpr int kRowHeight = 315;
constexpr int kFirstRowTop = 180;
constexpr int kSecondRowTop = 660;
constexpr int kCopiesWidth = 735;
constexpr int kButtonTop = 1440;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kMaxCopies = 99;
constexpr int kNoticeHeight = 480;

template <typename Control>
Control* place(QWidget* parent, const char* name, const QRect& twips) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return control;
}

} // namespace

int CopiesFromText(const QString& text) {
    bool ok = false;
    double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        number = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return 1;
    const double copies = std::nearbyint(number);
    return copies >= 1 && copies <= kMaxCopies ? static_cast<int>(copies) : 1;
}

frmPrintSetup::frmPrintSetup(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrintSetup"));
    setWindowTitle(QStringLiteral("Print Setup"));
    lblName = place<QLabel>(this, "lblName", {kLabelLeft, kFirstRowTop, kLabelWidth, kRowHeight});
    lblName->setText(QStringLiteral("Printer name:"));
    cboPrinter = place<QComboBox>(this, "cboPrinter", {kFieldLeft, kFirstRowTop, kFieldWidth, kRowHeight});
    lblCopies = place<QLabel>(this, "lblCopies", {kLabelLeft, kSecondRowTop, kLabelWidth, kRowHeight});
    lblCopies->setText(QStringLiteral("# of copies:"));
    txtCopies = place<QLineEdit>(this, "txtCopies", {kFieldLeft, kSecondRowTop, kCopiesWidth, kRowHeight});
    // Without a printer the dialog grows by a line that says where printed reports go.
    const bool noPrinter = InstalledPrinterNames().isEmpty();
    const int buttonTop = kButtonTop + (noPrinter ? kNoticeHeight : 0);
    lblNoPrinter = place<QLabel>(
        this, "lblNoPrinter", {kLabelLeft, kButtonTop - 120, kWindowWidth - 2 * kLabelLeft, kNoticeHeight});
    lblNoPrinter->setText(
        QStringLiteral("No printer is installed: Print will write the report to a PDF file."));
    lblNoPrinter->setWordWrap(true);
    lblNoPrinter->setVisible(noPrinter);
    cmdOK = place<QPushButton>(this, "cmdOK", {kFieldLeft, buttonTop, kButtonWidth, kButtonHeight});
    cmdOK->setText(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = place<QPushButton>(this, "cmdCancel",
                                   {kFieldLeft + kButtonWidth + 240, buttonTop, kButtonWidth, kButtonHeight});
    cmdCancel->setText(QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmPrintSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(TwipsToPixels(kWindowWidth), TwipsToPixels(kWindowHeight + buttonTop - kButtonTop));
    Form_Load();
}

void frmPrintSetup::Form_Load() {
    if (QWidget* main = parentWidget() ? parentWidget()->window() : QApplication::activeWindow())
        setWindowIcon(main->windowIcon());
    const QString printer = GetSetting(QStringLiteral("Printer"));
    txtCopies->setText(GetSetting(QStringLiteral("Copies"), QStringLiteral("1")).trimmed());
    cboPrinter->addItems(InstalledPrinterNames());
    cboPrinter->setCurrentIndex(cboPrinter->count() > 0 ? 0 : -1);
    if (!printer.isEmpty()) {
        for (int i = 0; i < cboPrinter->count(); ++i) {
            if (cboPrinter->itemText(i) == printer)
                cboPrinter->setCurrentIndex(i);
        }
    }
}

void frmPrintSetup::cmdOK_Click() {
    const int copies = CopiesFromText(txtCopies->text());
    if (SelectPrinter(cboPrinter->currentText()))
        SetCurrentPrinterCopies(copies);
    SaveSetting(QStringLiteral("Printer"), CurrentPrinterName());
    SaveSetting(QStringLiteral("Copies"), QString::number(copies));
    accept();
}

void ShowPrintSetup(QWidget* parent) {
    frmPrintSetup dialog(parent);
    RunModal(dialog);
}
