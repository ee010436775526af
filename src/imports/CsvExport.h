#pragma once

#include <QString>
#include <QStringList>

// One field as RFC 4180 writes it: in double quotes, its own doubled, when it holds a comma, a
// double quote, a line break or blanks at either end; otherwise as it is.
QString CsvField(const QString& value);
// The fields of one record joined by commas, each written as CsvField writes it.
QString CsvRecord(const QStringList& fields);

// The header row of the CSV export: one column for every field of a book.
QStringList CsvExportHeader();

struct CsvExportResult {
    bool done = false;
    int count = 0;
    QString error;
};

// Writes every book of the open catalogue, with every field, to a CSV file a spreadsheet opens as
// it is: UTF-8 with a byte order mark, CR LF line ends, lookups by name, awards joined by "; ",
// dates as YYYY-MM-DD (empty for no date) and numbers with ".". The file is replaced only once it
// is complete.
CsvExportResult ExportCsv(const QString& path);
