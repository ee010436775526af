#include "reports/Printers.h"

#include <QPrinterInfo>

namespace {

struct PrinterChoice {
    PrinterLister lister;
    QString chosen;
    bool hasChoice = false;
    int copies = 1;
};

PrinterChoice& choice() {
    static PrinterChoice state;
    return state;
}

} // namespace

QStringList InstalledPrinterNames() {
    if (choice().lister)
        return choice().lister();
    return QPrinterInfo::availablePrinterNames();
}

QString CurrentPrinterName() {
    if (choice().hasChoice)
        return choice().chosen;
    if (choice().lister) {
        // A stand-in platform's default is the first printer it lists.
        const QStringList names = choice().lister();
        return names.isEmpty() ? QString() : names.first();
    }
    return QPrinterInfo::defaultPrinterName();
}

bool SelectPrinter(const QString& deviceName) {
    if (!InstalledPrinterNames().contains(deviceName))
        return false;
    choice().chosen = deviceName;
    choice().hasChoice = true;
    return true;
}

int CurrentPrinterCopies() {
    return choice().copies;
}

void SetCurrentPrinterCopies(int copies) {
    choice().copies = copies;
}

PrinterLister SetPrinterLister(PrinterLister lister) {
    PrinterLister previous = std::move(choice().lister);
    choice().lister = std::move(lister);
    choice().chosen.clear();
    choice().hasChoice = false;
    choice().copies = 1;
    return previous;
}
