#pragma once

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeReader.h"

#include <QFile>
#include <QStringList>
#include <QTest>

// Helpers shared by the exchange tests: files written and read back, books added by name, and a
// catalogue's books listed with every field as text so two catalogues can be compared.
namespace exchangetest {

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of an exchange file as the importer reads them, the header first.
inline QStringList readLines(QIODevice& device, TextEncoding* encoding = nullptr) {
    ExchangeReader reader(device);
    if (encoding)
        *encoding = reader.encoding();
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines << line;
    return lines;
}

inline QStringList readLines(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? readLines(file) : QStringList();
}

// The header and the given book lines, as the exporter writes a file.
inline QByteArray exchangeFile(const QStringList& lines) {
    return (QStringList{ExchangeHeader()} + lines).join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

inline qint64 number(const QString& sql, const QVariantList& params = {}) {
    const auto value = QueryNumber(sql, params);
    return value ? *value : -1;
}

inline int lookupId(const QString& table, const QString& name) {
    const auto id = GetLookupId(table, table + QStringLiteral("Id"), name);
    return id ? *id : -1;
}

// Adds a book whose lookups are named in `book`, adding the names that are missing.
inline int addBook(const ExchangeBook& book) {
    BookFields fields = StoredValues(book);
    fields.subjectId = lookupId(QStringLiteral("Subject"), book.subject);
    fields.formatId = lookupId(QStringLiteral("Format"), book.format);
    fields.ratingId = lookupId(QStringLiteral("Rating"), book.rating);
    fields.locationId = lookupId(QStringLiteral("Location"), book.location);
    fields.authorId = book.author.isEmpty() ? 0 : lookupId(QStringLiteral("Author"), book.author);
    const auto bookId = InsertBook(fields);
    if (!bookId || *bookId < 0)
        return -1;
    SlashedAwardNames slashed;
    slashed.add(QStringLiteral("PEN/Faulkner Award"));
    for (const QString& award : SplitAwards(book.awards, slashed))
        static_cast<void>(AddBookAward(*bookId, lookupId(QStringLiteral("Award"), award)));
    return *bookId;
}

// A book that exercises every rule of the file: commas, apostrophes and double quotes, accents,
// a date and no date, cents, awards (one with a "/" in its name) and notes of several lines.
inline ExchangeBook richBook() {
    ExchangeBook book;
    book.bookId = 42;
    book.title = QStringLiteral("Pride, Prejudice & O'Brien's \"Annotated\" Édition");
    book.stars = 4.5;
    book.subject = QStringLiteral("Poésie & Théâtre");
    book.format = QStringLiteral("Paperback");
    book.pages = 312;
    book.rating = QStringLiteral("9-12 years");
    book.copyright = 1999;
    book.publisher = QStringLiteral("Éditions du Lac, Genève");
    book.author = QStringLiteral("Émile O'Zola");
    book.awards = QStringLiteral("Bestseller/PEN/Faulkner Award");
    book.location = QStringLiteral("Grenier, étagère 2");
    book.label = QStringLiteral("A-0042");
    book.acquiredDate = QDate(2002, 11, 5);
    book.cost = Money::fromUnits(199500);
    book.lentTo = QStringLiteral("Dr. O'Neill");
    book.lentDate = kNullDate;
    book.notes = QStringLiteral("First line\r\nSecond, with comma\r\nThird: 5 €");
    return book;
}

// Each row of a query as one line of text, its columns joined by " | "; sorted.
inline QStringList rowsAsText(const DbResult<Recordset>& rows) {
    if (!rows)
        return {rows.error().messageText()};
    QStringList lines;
    for (Recordset row = *rows; !row.eof(); row.moveNext()) {
        QStringList fields;
        for (int i = 0; i < row.columns().size(); ++i)
            fields << row.text(i);
        lines << fields.join(QStringLiteral(" | "));
    }
    lines.sort();
    return lines;
}

// Every book of the open catalogue as one line of text, all columns by value and lookups by
// name, awards in the order of their links; sorted, so that catalogues can be compared.
inline QStringList catalogueBooks() {
    auto rows = Recordset::open(QStringLiteral(
        "SELECT b.[Title], b.[Stars], s.[Name], f.[Name], b.[Pages], r.[Name], b.[Copyright], b.[Publisher], "
        "a.[Name], (SELECT group_concat(n, '/') FROM (SELECT w.[Name] AS n FROM [BookAward] AS ba "
        "INNER JOIN [Award] AS w ON w.[AwardId] = ba.[AwardId] WHERE ba.[BookId] = b.[BookId] ORDER BY "
        "ba.rowid)), "
        "l.[Name], b.[LabelNumber], b.[AcquireDate], b.[Cost], b.[LentTo], b.[LentDate], b.[Notes] "
        "FROM [Book] AS b LEFT JOIN [Subject] AS s ON s.[SubjectId] = b.[SubjectId] "
        "LEFT JOIN [Format] AS f ON f.[FormatId] = b.[FormatId] LEFT JOIN [Rating] AS r ON r.[RatingId] = "
        "b.[RatingId] "
        "LEFT JOIN [Author] AS a ON a.[AuthorId] = b.[AuthorId] "
        "LEFT JOIN [Location] AS l ON l.[LocationId] = b.[LocationId]"));
    return rowsAsText(rows);
}

} // namespace exchangetest
