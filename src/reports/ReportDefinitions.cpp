#include "reports/ReportDefinitions.h"

#include "db/RecordHelpers.h"
#include "reports/ReportFormats.h"
#include "reports/RowCursor.h"
#include "reports/SpoolFormat.h"

#include <array>

namespace {

using enum FieldFormat;
constexpr int L = spool::kAlignLeft;
constexpr int R = spool::kAlignRight;

// Books whose location, subject, rating and format all exist, with those names.
const QString kJoinedBooks = QStringLiteral(
    "SELECT m.*, l.[Name] AS [LocationName], g.[Name] AS [SubjectName], r.[Name] AS [RatingName], "
    "mm.[Name] AS [FormatName] FROM [Book] AS m "
    "INNER JOIN [Location] AS l ON l.[LocationId] = m.[LocationId] "
    "INNER JOIN [Subject] AS g ON g.[SubjectId] = m.[SubjectId] "
    "INNER JOIN [Rating] AS r ON r.[RatingId] = m.[RatingId] "
    "INNER JOIN [Format] AS mm ON mm.[FormatId] = m.[FormatId]");

ReportColumn column(int stop, double position, int alignment, const char* heading, const char* field,
                    FieldFormat format = Text) {
    return {stop, position, alignment, QString::fromLatin1(heading), QString::fromLatin1(field), format};
}

// A stop that carries neither heading nor field.
ReportColumn stopOnly(int stop, double position) {
    return {stop, position, L, QString(), QString(), Text};
}

const QString kBookCount = QStringLiteral("Book count: ");
const QString kNoBooks = QStringLiteral("No books found.");

std::vector<ReportColumn> listingColumns(bool labelFirst) {
    std::vector<ReportColumn> columns;
    int stop = 1;
    if (labelFirst)
        columns.push_back(column(stop++, 0.1, L, "Label #", "LabelNumber"));
    columns.push_back(column(stop++, labelFirst ? 1.0 : 0.1, L, "Title", "Title"));
    columns.push_back(column(stop++, 3.0, R, "Stars", "Stars", OneDecimal));
    columns.push_back(column(stop++, 3.2, L, "Subject", "SubjectName"));
    columns.push_back(column(stop++, 4.3, L, "Location", "LocationName"));
    columns.push_back(column(stop++, 5.6, L, "Rating", "RatingName"));
    columns.push_back(column(stop++, 6.2, L, "Format", "FormatName"));
    columns.push_back(column(stop++, 6.8, L, "Min.", "Pages", Whole));
    return columns;
}

std::array<ReportDefinition, 6> makeDefinitions() {
    return {{
        {ReportKind::BookListing, QStringLiteral("Book Listing"),
         kJoinedBooks + QStringLiteral(" ORDER BY READING_KEY(l.[Name]), READING_KEY(m.[Title])"),
         listingColumns(false), kBookCount, kNoBooks},
        {ReportKind::ListingByLabel, QStringLiteral("Book Listing by Label #"),
         kJoinedBooks + QStringLiteral(" ORDER BY READING_KEY(m.[LabelNumber]), READING_KEY(m.[Title])"),
         listingColumns(true), kBookCount, kNoBooks},
        {ReportKind::DetailedListing,
         QStringLiteral("Book Listing (Detailed)"),
         kJoinedBooks + QStringLiteral(" ORDER BY READING_KEY(m.[Title])"),
         {stopOnly(1, 0.1), stopOnly(2, 0.9), stopOnly(3, 3.5), stopOnly(4, 4.3), stopOnly(5, 2.3),
          stopOnly(6, 2.9)},
         kBookCount,
         kNoBooks},
        {ReportKind::InventoryByLocation,
         QStringLiteral("Inventory by Location"),
         kJoinedBooks + QStringLiteral(" ORDER BY READING_KEY(l.[Name]), READING_KEY(m.[Title])"),
         {column(1, 0.1, L, "Title", "Title"), column(2, 2.5, L, "Subject", "SubjectName"),
          column(3, 3.5, L, "Rating", "RatingName"), column(4, 4.8, R, "Pages", "Pages", Whole),
          column(5, 5.1, L, "Format", "FormatName"), column(6, 5.8, L, "Label #", "LabelNumber")},
         kBookCount,
         kNoBooks},
        {ReportKind::CostSummary,
         QStringLiteral("Book Cost Report"),
         QStringLiteral(
             "SELECT * FROM [Book] WHERE [Cost] IS NOT NULL AND [Cost] <> 0 ORDER BY READING_KEY([Title])"),
         {column(1, 0.1, L, "Title", "Title"), column(2, 2.25, L, "Acquired", "AcquireDate", Date),
          column(4, 4.0, L, "Label #", "LabelNumber"), stopOnly(5, 5.25),
          column(6, 6.0, R, "Amount", "Cost", Currency)},
         QStringLiteral("Book count (that have a cost): "),
         QStringLiteral("No books found with a cost.")},
        {ReportKind::BooksLentOut,
         QStringLiteral("Books Lent Out"),
         QStringLiteral(
             "SELECT m.[Title], m.[LentTo], m.[LentDate] FROM [Book] AS m "
             "WHERE [LentTo] IS NOT NULL OR [LentDate] IS NOT NULL ORDER BY READING_KEY(m.[Title])"),
         {column(1, 0.1, L, "Title", "Title"), column(2, 2.5, L, "Lent To", "LentTo"),
          column(3, 4.5, R, "Lent Date", "LentDate", Date)},
         QStringLiteral("Book count (lent out): "),
         QStringLiteral("No books are lent out.")},
    }};
}

DetailItem label(int stop, const char* text) {
    return {stop, QString::fromLatin1(text), QString(), Text};
}

DetailItem field(int stop, const char* column, FieldFormat format = Text) {
    return {stop, QString(), QString::fromLatin1(column), format};
}

} // namespace

const ReportDefinition& DefinitionOf(ReportKind kind) {
    static const std::array<ReportDefinition, 6> definitions = makeDefinitions();
    for (const ReportDefinition& definition : definitions) {
        if (definition.kind == kind)
            return definition;
    }
    return definitions.front();
}

const std::vector<DetailLine>& DetailedBookLines() {
    static const std::vector<DetailLine> lines{
        {label(1, "Stars:"), field(2, "Stars", OneDecimal)},
        {label(1, "Title:"), field(2, "Title"), label(3, "Location:"), field(4, "LocationName")},
        {label(1, "Subject:"), field(2, "SubjectName"), label(3, "Label #:"), field(4, "LabelNumber")},
        {label(1, "Format:"), field(2, "FormatName"), label(5, "Pages:"), field(6, "Pages", Whole),
         label(3, "Acquired:"), field(4, "AcquireDate", Date)},
        {label(1, "Rating:"), field(2, "RatingName"), label(5, "Copyright:"), field(6, "Copyright", Whole),
         label(3, "Cost:"), field(4, "Cost", Currency)},
        {label(1, "Publisher:"), field(2, "Publisher"), label(3, "Lent To:"), field(4, "LentTo")},
        {label(1, "Author:"), field(2, "AuthorId", AuthorName), label(3, "Lent Date:"),
         field(4, "LentDate", Date)},
    };
    return lines;
}

QString FieldText(const RowCursor& row, const QString& field, FieldFormat format) {
    const QString text = row.text(field);
    switch (format) {
    case Text:
        return text;
    case Whole:
        return FormatWhole(text);
    case OneDecimal:
        return FormatOneDecimal(text);
    case Currency:
        return FormatCurrency(MoneyOfField(text));
    case Date:
        return FormatDateField(text);
    case AuthorName: {
        const DbResult<QString> name = GetAuthorName(LeadingInteger(text));
        return name ? *name : QString();
    }
    }
    return text;
}
