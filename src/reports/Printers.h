#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The installed printers and the one reports print on. Print setup chooses it, the report
// writer and printing select the one the "Printer" setting names again before they start.

// Device names of the installed printers, in the platform's order; empty when none is.
QStringList InstalledPrinterNames();
// The printer reports print on: the one chosen last, else the platform's default (which is
// empty when no printer is installed).
QString CurrentPrinterName();
// Makes the installed printer of that device name current; false (and nothing changes) when
// no installed printer has that name.
bool SelectPrinter(const QString& deviceName);
// Copies the current printer prints of each report.
int CurrentPrinterCopies();
void SetCurrentPrinterCopies(int copies);

// Replaces how installed printers are listed (an empty lister restores the platform's) and
// forgets the chosen printer; answers the previous lister. Lets a machine without printers
// stand in for one with several.
using PrinterLister = std::function<QStringList()>;
PrinterLister SetPrinterLister(PrinterLister lister);
