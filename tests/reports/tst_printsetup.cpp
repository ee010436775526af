#include "ReportCapture.h"
#include "app/Settings.h"
#include "reports/Printers.h"
#include "reports/Reports.h"
#include "reports/frmPrintSetup.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>

namespace {

// Installed printers as a test says, for as long as it lives.
class FakePrinters {
public:
    explicit FakePrinters(const QStringList& names)
        : m_previous(SetPrinterLister([names] { return names; })) {}
    ~FakePrinters() { SetPrinterLister(m_previous); }
    FakePrinters(const FakePrinters&) = delete;
    FakePrinters& operator=(const FakePrinters&) = delete;

private:
    PrinterLister m_previous;
};

struct SetupSeen {
    QStringList printers;
    int selected = -1;
    QString copies;
    QString notice; // what the dialog says about printing without a printer, when it says it
};

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
                seen.notice = QStringLiteral("covered by the buttons");
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
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        const std::pair<const char*, const char*> rows[] = {
            {"99", "99"}, {"100", "1"}, {"two", "1"}, {"3x", "1"},  {"", "1"},    {"0", "1"},
            {"-5", "1"},  {" 7 ", "7"}, {"2.5", "2"}, {"3.5", "4"}, {"0.4", "1"}, {"99.5", "1"}};
        for (const auto& [typed, saved] : rows)
            QTest::newRow(typed[0] ? typed : "empty")
                << QString::fromLatin1(typed) << QString::fromLatin1(saved);
    }
    void copiesAreKeptWithinRange() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        TestHome home;
        FakePrinters printers({QStringLiteral("Laser")});
        runSetup(home, [&](frmPrintSetup& setup) { setup.txtCopies->setText(typed); });
        QCOMPARE(GetSetting(QStringLiteral("Copies")), saved);
        QCOMPARE(QString::number(CurrentPrinterCopies()), saved);
        QCOMPARE(GetSetting(QStringLiteral("Printer")), QStringLiteral("Laser"));
    }

    void choosesAmongInstalledPrinters() {
        TestHome home;
        FakePrinters printers({QStringLiteral("Laser"), QStringLiteral("Ink"), QStringLiteral("Laser")});
        SaveSetting(QStringLiteral("Printer"), QStringLiteral("Laser"));
        SaveSetting(QStringLiteral("Copies"), QStringLiteral(" 3 "));
        SetupSeen seen = runSetup(home, [](frmPrintSetup& setup) {
            setup.cboPrinter->setCurrentIndex(1);
            setup.txtCopies->setText(QStringLiteral("5"));
        });
        QCOMPARE(seen.printers, (QStringList{"Laser", "Ink", "Laser"}));
        QCOMPARE(seen.selected, 2);
        QCOMPARE(seen.copies, QStringLiteral("3"));
        QCOMPARE(seen.notice, QString());
        QCOMPARE(GetSetting(QStringLiteral("Printer")), QStringLiteral("Ink"));
        QCOMPARE(GetSetting(QStringLiteral("Copies")), QStringLiteral("5"));
        QCOMPARE(CurrentPrinterName(), QStringLiteral("Ink"));
        QCOMPARE(CurrentPrinterCopies(), 5);

        // A saved printer that is gone leaves the list on its first entry.
        SaveSetting(QStringLiteral("Printer"), QStringLiteral("Gone"));
        seen = runSetup(home, {}, false);
        QCOMPARE(seen.selected, 0);
        QCOMPARE(GetSetting(QStringLiteral("Printer")), QStringLiteral("Gone"));
        QCOMPARE(home.pendingModalActions(), 0);
    }

    void cancelSavesNothing() {
        TestHome home;
        FakePrinters printers({QStringLiteral("Laser"), QStringLiteral("Ink")});
        runSetup(
            home,
            [](frmPrintSetup& setup) {
                setup.cboPrinter->setCurrentIndex(1);
                setup.txtCopies->setText(QStringLiteral("9"));
            },
            false);
        QCOMPARE(GetSetting(QStringLiteral("Printer"), QStringLiteral("<none>")), QStringLiteral("<none>"));
        QCOMPARE(GetSetting(QStringLiteral("Copies"), QStringLiteral("<none>")), QStringLiteral("<none>"));
        QCOMPARE(CurrentPrinterName(), QStringLiteral("Laser"));
    }

    void worksWithoutAnyPrinter() {
        TestHome home;
        FakePrinters none({});
        SaveSetting(QStringLiteral("Printer"), QStringLiteral("Laser"));
        const SetupSeen seen = runSetup(home, [](frmPrintSetup& setup) { setup.txtCopies->setText("4"); });
        QVERIFY(seen.printers.isEmpty());
        QCOMPARE(seen.selected, -1);
        QCOMPARE(seen.notice,
                 QStringLiteral("No printer is installed: Print will write the report to a PDF file."));
        QCOMPARE(GetSetting(QStringLiteral("Printer"), QStringLiteral("<none>")), QString());
        QCOMPARE(GetSetting(QStringLiteral("Copies")), QStringLiteral("4"));
        QCOMPARE(CurrentPrinterCopies(), 1);
    }

    void usesThePlatformsPrinters() {
        TestHome home;
        const SetupSeen seen = runSetup(home, {});
        QCOMPARE(seen.printers, QPrinterInfo::availablePrinterNames());
        QCOMPARE(GetSetting(QStringLiteral("Printer"), QStringLiteral("<none>")), CurrentPrinterName());
        QCOMPARE(GetSetting(QStringLiteral("Copies")), QStringLiteral("1"));
    }

    void reportsSelectTheSavedPrinter() {
        TestHome home;
        FakePrinters printers({QStringLiteral("Laser"), QStringLiteral("Ink")});
        ReportCapture capture;
        ScriptedReport report;
        SaveSetting(QStringLiteral("Printer"), QStringLiteral("Ink"));
        report.PrintReport();
        QCOMPARE(CurrentPrinterName(), QStringLiteral("Ink"));
        SaveSetting(QStringLiteral("Printer"), QStringLiteral("Gone"));
        report.PrintReport();
        QCOMPARE(CurrentPrinterName(), QStringLiteral("Ink"));
        QCOMPARE(capture.shown.size(), 2);
    }
};

TOMEKEEP_TEST(PrintSetupTest);
#include "tst_printsetup.moc"
