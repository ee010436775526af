#pragma once

#include "reports/Reports.h"

#include <QString>
#include <vector>

class RowCursor;

// How a catalogue value is shown in a report.
enum class FieldFormat {
    Text,       // as stored
    Whole,      // "###0": pages, copyright year
    OneDecimal, // "0.0": stars
    Currency,   // the locale's money format
    Date,       // "mm/dd/yyyy"; a column whose date is empty is not written at all
    AuthorName, // the name of the author whose number the field holds
};

// A tab stop of a report, with the heading and the field written at it (either may be empty).
struct ReportColumn {
    int stop = 0;
    double position = 0; // inches
    int alignment = 0;
    QString heading;
    QString field;
    FieldFormat format = FieldFormat::Text;
};

// A fixed text or a field at a stop: one item of the detailed listing's block of lines.
struct DetailItem {
    int stop = 0;
    QString label;
    QString field;
    FieldFormat format = FieldFormat::Text;
};
using DetailLine = std::vector<DetailItem>;

// What one report writes; the reports differ only in these where they share the skeleton.
struct ReportDefinition {
    ReportKind kind;
    QString name;
    QString sql;
    std::vector<ReportColumn> columns;
    QString countLabel; // before the count of books at the end
    QString emptyText;  // when the query finds no book
};

const ReportDefinition& DefinitionOf(ReportKind kind);
// The book block of the detailed listing, line by line.
const std::vector<DetailLine>& DetailedBookLines();

// A field of the current row as the report shows it.
QString FieldText(const RowCursor& row, const QString& field, FieldFormat format);
