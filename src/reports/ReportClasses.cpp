#include "reports/ReportClasses.h"

#include "app/Paths.h"
#include "app/Prompts.h"
#include "db/ReadingOrder.h"
#include "db/RecordHelpers.h"
#include "reports/ReportFormats.h"
#include "reports/ReportWriter.h"
#include "reports/RowCursor.h"
#include "reports/frmPrinting.h"

#include <QStringList>
#include <algorithm>

namespace {

const QString kFace = QStringLiteral("Times New Roman");
constexpr double kFontSize = 10;
// The rule under the column headings, printed on paper too.
constexpr InchBox kHeadingRule{0.1, 0.85, 7.8, 0.85};

} // namespace

void clsReport::PrintReport() {
    ReportWriter& writer = Writer();
    // Window events run while a report is written; another report waits for it to end.
    if (writer.IsWriting())
        return;
    if (!writer.BeginReport(*this, 0, 0, QString())) {
        TellError(QStringLiteral("The report file could not be created in ") + SpoolFolder() + u'.');
        return;
    }
    DbResult<RowCursor> rows = RowCursor::open(m_definition.sql);
    if (!rows) {
        writer.Abandon();
        writer.EndReport();
        TellError(rows.error().messageText());
        return;
    }
    if (!rows->eof()) {
        for (;;) {
            if (rows->eof() || gReportCancelled) {
                WriteTotals();
                break;
            }
            WriteNext(*rows);
        }
    } else {
        WriteEmpty();
    }
    const QString path = writer.SpoolPath();
    if (writer.EndReport() == ReportOutcome::Failed)
        TellError(QStringLiteral("The report could not be written to ") + path + u'.');
}

void clsReport::PrintHeading() {
    Writer().PrintPageHeading(*this);
    Font(spool::kStyleNormal);
    SetStops();
    Line();
    Font(spool::kStyleBold);
    for (const ReportColumn& column : m_definition.columns) {
        if (!column.heading.isEmpty())
            Text(column.heading, column.stop);
    }
    Font(spool::kStyleNormal);
    Writer().PrintBox(kHeadingRule.x1, kHeadingRule.y1, kHeadingRule.x2, kHeadingRule.y2, 1);
    Line();
}

void clsReport::WriteNext(RowCursor& rows) {
    WriteRecord(rows);
    rows.moveNext();
}

void clsReport::WriteRecord(const RowCursor& row) {
    Line();
    WriteColumns(row);
    ++m_count;
}

void clsReport::WriteTotals() {
    Line();
    Line();
    WriteCount();
}

void clsReport::WriteEmpty() {
    Line();
    ClosingText(m_definition.emptyText);
}

void clsReport::Line() {
    Writer().NewLine(this);
}

void clsReport::Text(const QString& text, int stop, int style) {
    Writer().PrintText(this, text, stop, style);
}

void clsReport::Font(int style) {
    Writer().SetFont(kFontSize, kFace, style);
}

void clsReport::SetStops() {
    for (const ReportColumn& column : m_definition.columns)
        Writer().SetTab(column.stop, column.position, column.alignment);
}

void clsReport::WriteColumns(const RowCursor& row) {
    for (const ReportColumn& column : m_definition.columns) {
        if (column.field.isEmpty())
            continue;
        const QString text = FieldText(row, column.field, column.format);
        // An empty date leaves its column out altogether.
        if (column.format == FieldFormat::Date && text.isEmpty())
            continue;
        Text(text, column.stop);
    }
}

void clsReport::WriteCount() {
    ClosingText(m_definition.countLabel + FormatCount(m_count));
}

void clsReport::ClosingText(const QString& text) {
    // A closing line runs across the columns: when the first column would cut it, the stop
    // that ends that column is cleared first.
    if (!Writer().FitsColumn(text, 1))
        Writer().SetTab(2, 0, spool::kAlignLeft);
    Text(text, 1);
}

clsReportCost::clsReportCost()
    : clsReport(DefinitionOf(ReportKind::CostSummary)) {}

void clsReportCost::WriteRecord(const RowCursor& row) {
    clsReport::WriteRecord(row);
    m_total += MoneyOfField(row.text(QStringLiteral("Cost")));
}

void clsReportCost::WriteTotals() {
    Line();
    Line();
    Writer().LineAbove(5, 0.75, 1);
    Font(spool::kStyleBold);
    Text(FormatCurrency(m_total), 6);
    Font(spool::kStyleNormal);
    clsReport::WriteTotals();
}

clsReportInventory::clsReportInventory()
    : clsReport(DefinitionOf(ReportKind::InventoryByLocation)) {}

void clsReportInventory::WriteNext(RowCursor& rows) {
    const QString location = rows.text(QStringLiteral("LocationName"));
    Line();
    Font(spool::kStyleBold);
    Text(location, 1);
    Font(spool::kStyleNormal);
    Line();
    while (!rows.eof() && !gReportCancelled && rows.text(QStringLiteral("LocationName")) == location) {
        WriteRecord(rows);
        rows.moveNext();
    }
    Line();
}

void clsReportInventory::WriteEmpty() {
    clsReport::WriteEmpty();
    WriteTotals();
}

clsReportLent::clsReportLent()
    : clsReport(DefinitionOf(ReportKind::BooksLentOut)) {}

void clsReportLent::WriteRecord(const RowCursor& row) {
    const bool lentTo = !row.text(QStringLiteral("LentTo")).trimmed().isEmpty();
    const bool lentOn = !FormatDateField(row.text(QStringLiteral("LentDate"))).isEmpty();
    if (lentTo || lentOn)
        clsReport::WriteRecord(row);
}

void clsReportLent::WriteTotals() {
    if (m_count > 0)
        clsReport::WriteTotals();
    else
        WriteEmpty();
}

clsReportDetailed::clsReportDetailed()
    : clsReport(DefinitionOf(ReportKind::DetailedListing)) {}

void clsReportDetailed::PrintHeading() {
    Writer().PrintPageHeading(*this);
    Writer().PrintBox(kHeadingRule.x1, kHeadingRule.y1, kHeadingRule.x2, kHeadingRule.y2, 1);
    SetStops();
    Line();
    Line();
}

void clsReportDetailed::WriteRecord(const RowCursor& row) {
    ++m_count;
    for (const DetailLine& line : DetailedBookLines()) {
        Line();
        for (const DetailItem& item : line) {
            if (!item.label.isEmpty()) {
                Text(item.label, item.stop);
                continue;
            }
            const QString text = FieldText(row, item.field, item.format);
            if (item.format == FieldFormat::Date && text.isEmpty())
                continue;
            Text(text, item.stop);
        }
    }
    WriteAwards(row);
    WriteNotes(row);
    Line();
}

void clsReportDetailed::WriteAwards(const RowCursor& row) {
    DbResult<RowCursor> awards =
        RowCursor::open(QStringLiteral("SELECT DISTINCT a.[Name] AS [AwardName] FROM [BookAward] AS ma "
                                       "INNER JOIN [Award] AS a ON ma.[AwardId] = a.[AwardId] "
                                       "WHERE ma.[BookId] = ?"),
                        {LeadingInteger(row.text(QStringLiteral("BookId")))});
    if (!awards)
        return;
    // A book's few awards are put in reading order here: an ORDER BY in the user's order would
    // open a sorter for every one of thousands of books.
    QStringList names;
    for (RowCursor& found = *awards; !found.eof(); found.moveNext())
        names << found.text(QStringLiteral("AwardName"));
    const ReadingOrder& order = ReadingOrder::forUser();
    std::sort(names.begin(), names.end(),
              [&order](const QString& left, const QString& right) { return order.compare(left, right) < 0; });
    for (qsizetype i = 0; i < names.size(); ++i) {
        Line();
        if (i == 0)
            Text(QStringLiteral("Awards:"), 1);
        Text(names[i], 2);
    }
}

void clsReportDetailed::WriteNotes(const RowCursor& row) {
    const QString notes = row.text(QStringLiteral("Notes"));
    if (notes.trimmed().isEmpty())
        return;
    Line();
    Text(QStringLiteral("Notes:"), 1);
    Text(notes, 2, spool::kStyleNormal);
}

void clsReportDetailed::WriteTotals() {
    Writer().SetTab(2, 4.0, spool::kAlignLeft);
    clsReport::WriteTotals();
}
