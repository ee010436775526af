#pragma once

#include "reports/Printers.h"
#include "support/TestMain.h"

// Installed printers as a test says, for as long as it lives.
class FakePrinters {
public:
    explicit FakePrinters(const QStringList& names = {})
        : m_previous(SetPrinterLister([names] { return names; })) {}
    ~FakePrinters() { SetPrinterLister(m_previous); }
    FakePrinters(const FakePrinters&) = delete;
    FakePrinters& operator=(const FakePrinters&) = delete;

private:
    PrinterLister m_previous;
};
