#include "ReportCapture.h"
#include "app/Settings.h"
#include "reports/Reports.h"
#include "reports/frmPrintSetup.h"
#include "support/TestHome.h"

#include <QPrinterInfo>

namespace {

// What the dialog showed: its printers, the one selected, the copies and what it says about
// printing without a printer, when it says it.
struct SetupSeen {
    QStringList printers;
    int selected = -1;
    QString copies;
    QString notice;
    QString line() const {
        return QStringList{printers.join(u','), QString::number(selected), copies, notice}.join(u'|');
    }
};

// The saved printer and copies, then the printer and copies in use.
QString settingsLine() {
    return QStringList{GetSetting(u"Printer"_s, u"<none>"_s), GetSetting(u"Copies"_s, u"<none>"_s),
                       CurrentPrinterName(), QString::number(CurrentPrinterCopies())}
        .join(u'|');
}

// Opens print setup, notes what it shows, lets `act` change it, then presses the button.
SetupSeen runSetup(TestHome& home, const std::function<void(frmPrintSetup&)>& act, bool ok = true) {
    SetupSeen seen;
    home.onNextModal([&](QDialog& dialog) {
        auto& setup = static_cast<frmPrintSetup&>(dialog);
        for (int i = 0; i < setup.cboPrinter->count(); ++i)
            seen.printers << setup.cboPrinter->itemText(i);
        seen.selected = setup.cboPrinter->currentIndex();
        seen.copies = setup.txtCopies->text();
        if (setup.lblNoPrinter->isVisible()) {
            seen.notice = setup.lblNoPrinter->text();
            if (setup.lblNoPrinter->geometry().intersects(setup.cmdOK->geometry()))
                seen.notice = u"covered by the buttons"_s;
        }
        if (act)
            act(setup);
        (ok ? setup.cmdOK : setup.cmdCancel)->click();
        return dialog.result();
    });
    ShowPrintSetup(nullptr);
    return seen;
}

} // namespace

class PrintSetupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiesAreKeptWithinRange_data() {
        AddColumns<QString, QString>("typed", "saved");
        const std::pair<const char*, const char*> rows[] = {
            {"99", "99"}, {"100", "1"}, {"two", "1"}, {"3x", "1"},  {"", "1"},    {"0", "1"},
            {"-5", "1"},  {" 7 ", "7"}, {"2.5", "2"}, {"3.5", "4"}, {"0.4", "1"}, {"99.5", "1"}};
        for (const auto& [typed, saved] : rows)
            QTest::newRow(typed[0] ? typed : "empty")
                << QString::fromLatin1(typed) << QString::fromLatin1(saved);
    }
    void copiesAreKeptWithinRange() {
        const auto [typed, saved] = FetchColumns<QString, QString>("typed", "saved");
        TestHome home;
        const auto printers = fakePrinters({u"Laser"_s});
        runSetup(home, [&](frmPrintSetup& setup) { setup.txtCopies->setText(typed); });
        QCOMPARE(settingsLine(), u"Laser|%1|Laser|%1"_s.arg(saved));
    }

    void choosesAmongInstalledPrinters() {
        TestHome home;
        const auto printers = fakePrinters({u"Laser"_s, u"Ink"_s, u"Laser"_s});
        // Cancel saves nothing.
        const auto choose = [](const QString& copies) {
            return [copies](frmPrintSetup& setup) {
                setup.cboPrinter->setCurrentIndex(1);
                setup.txtCopies->setText(copies);
            };
        };
        runSetup(home, choose(u"9"_s), false);
        QCOMPARE(settingsLine(), u"<none>|<none>|Laser|1"_s);
        // A report selects the saved printer as it begins.
        ReportCapture capture;
        ScriptedReport report;
        SaveSetting(u"Printer"_s, u"Ink"_s);
        report.PrintReport();
        QCOMPARE(CurrentPrinterName(), u"Ink"_s);

        SaveSetting(u"Printer"_s, u"Laser"_s);
        SaveSetting(u"Copies"_s, u" 3 "_s);
        QCOMPARE(runSetup(home, choose(u"5"_s)).line(), u"Laser,Ink,Laser|2|3|"_s);
        QCOMPARE(settingsLine(), u"Ink|5|Ink|5"_s);

        // A saved printer that is gone leaves the list on its first entry.
        SaveSetting(u"Printer"_s, u"Gone"_s);
        QCOMPARE(runSetup(home, {}, false).line(), u"Laser,Ink,Laser|0|5|"_s);
        QCOMPARE(home.pendingModalActions(), 0);
        // ...and a report then keeps the printer in use.
        report.PrintReport();
        // The settings, then how many reports were shown.
        QCOMPARE(settingsLine() + u'|' + QString::number(capture.shown.size()), u"Gone|5|Ink|5|2"_s);
    }

    void worksWithoutAnyPrinter() {
        TestHome home;
        const auto none = fakePrinters();
        SaveSetting(u"Printer"_s, u"Laser"_s);
        QCOMPARE(runSetup(home, [](frmPrintSetup& setup) { setup.txtCopies->setText("4"); }).line(),
                 u"|-1|1|No printer is installed: Print will write the report to a PDF file."_s);
        QCOMPARE(settingsLine(), u"|4||1"_s);
    }

    void usesThePlatformsPrinters() {
        TestHome home;
        QCOMPARE(runSetup(home, {}).printers, QPrinterInfo::availablePrinterNames());
        QCOMPARE(settingsLine(), u"%1|1|%1|1"_s.arg(CurrentPrinterName()));
    }
};

TOMEKEEP_TEST(PrintSetupTest);
#include "tst_printsetup.moc"
