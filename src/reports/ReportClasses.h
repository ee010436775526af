#pragma once

#include "db/Money.h"
#include "reports/ReportDefinitions.h"

class RowCursor;

// The shared skeleton of every report: begin the file, run the query, write each book (or
// the empty-result block), the totals block, end the file. A report's columns, query and
// texts come from its definition; the reports that lay books out differently override the
// step that differs.
class clsReport : public Report {
public:
    explicit clsReport(const ReportDefinition& definition)
        : m_definition(definition) {}

    QString Name() const override { return m_definition.name; }
    bool IsReportReady() override { return true; }
    void PrintReport() override;
    void PrintHeading() override;

protected:
    // Writes what the cursor stands on and moves past it.
    virtual void WriteNext(RowCursor& rows);
    virtual void WriteRecord(const RowCursor& row);
    virtual void WriteTotals();
    virtual void WriteEmpty();

    void Line();
    void Text(const QString& text, int stop, int style = 0);
    void Font(int style);
    void SetStops();
    void WriteColumns(const RowCursor& row);
    void WriteCount();
    void ClosingText(const QString& text);

    const ReportDefinition& m_definition;
    qint32 m_count = 0;
};

class clsReportCost : public clsReport {
public:
    clsReportCost();

protected:
    void WriteRecord(const RowCursor& row) override;
    void WriteTotals() override;

private:
    Money m_total;
};

class clsReportInventory : public clsReport {
public:
    clsReportInventory();

protected:
    void WriteNext(RowCursor& rows) override;
    void WriteEmpty() override;
};

class clsReportLent : public clsReport {
public:
    clsReportLent();

protected:
    void WriteRecord(const RowCursor& row) override;
    void WriteTotals() override;
};

class clsReportDetailed : public clsReport {
public:
    clsReportDetailed();
    void PrintHeading() override;

protected:
    void WriteRecord(const RowCursor& row) override;
    void WriteTotals() override;

private:
    void WriteAwards(const RowCursor& row);
    void WriteNotes(const RowCursor& row);
};
