#pragma once

#include <QString>

// What every report offers; the writer calls PrintHeading at the start of each page.
class Report {
public:
    virtual ~Report() = default;

    // The title, written into the report file's header and every page heading.
    virtual QString Name() const = 0;
    // True lets the launcher run the report.
    virtual bool IsReportReady() = 0;
    // Writes the whole report and hands it to the preview.
    virtual void PrintReport() = 0;
    virtual void PrintHeading() = 0;
};
