#pragma once

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "exchange/ExchangeFormat.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

// Helpers shared by the exchange tests: files written and read back, books added by name, and a
// catalogue's books listed with every field as text so two catalogues can be compared.
namespace exchangetest {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The header and the given book lines, as the exporter writes a file.
inline QByteArray exchangeFile(const QStringList& lines) {
    return (QStringList{ExchangeHeader()} + lines).join(u"\r\n"_s).toUtf8() + "\r\n";
}

inline int lookupId(const QString& table, const QString& name) {
    const auto id = GetLookupId(table, table + u"Id"_s, name);
    return id ? *id : -1;
}

// Adds a book whose lookups are named in `book`, adding the names that are missing.
inline int addBook(const ExchangeBook& book) {
    BookFields fields = StoredValues(book);
    fields.subjectId = lookupId(u"Subject"_s, book.subject);
    fields.formatId = lookupId(u"Format"_s, book.format);
    fields.ratingId = lookupId(u"Rating"_s, book.rating);
    fields.locationId = lookupId(u"Location"_s, book.location);
    fields.authorId = book.author.isEmpty() ? 0 : lookupId(u"Author"_s, book.author);
    const auto bookId = InsertBook(fields);
    if (!bookId || *bookId < 0)
        return -1;
    SlashedAwardNames slashed;
    slashed.add(u"PEN/Faulkner Award"_s);
    for (const QString& award : SplitAwards(book.awards, slashed))
        static_cast<void>(AddBookAward(*bookId, lookupId(u"Award"_s, award)));
    return *bookId;
}

// A book that exercises every rule of the file: commas, apostrophes and double quotes, accents,
// a date and no date, cents, awards (one with a "/" in its name) and notes of several lines.
inline ExchangeBook richBook() {
    return {.bookId = 42,
            .title = u"Pride, Prejudice & O'Brien's \"Annotated\" Édition"_s,
            .stars = 4.5,
            .subject = u"Poésie & Théâtre"_s,
            .format = u"Paperback"_s,
            .pages = 312,
            .rating = u"9-12 years"_s,
            .copyright = 1999,
            .publisher = u"Éditions du Lac, Genève"_s,
            .author = u"Émile O'Zola"_s,
            .awards = u"Bestseller/PEN/Faulkner Award"_s,
            .location = u"Grenier, étagère 2"_s,
            .label = u"A-0042"_s,
            .acquiredDate = QDate(2002, 11, 5),
            .cost = Money::fromUnits(199500),
            .lentTo = u"Dr. O'Neill"_s,
            .lentDate = kNullDate,
            .notes = u"First line\r\nSecond, with comma\r\nThird: 5 €"_s};
}

// Every book of the open catalogue as one line of text, its columns joined by '|', all by value and lookups
// by name, awards in the order of their links; sorted, so that catalogues can be compared.
inline QStringList catalogueBooks() {
    QString joins;
    for (const char* table : {"Subject", "Format", "Rating", "Author", "Location"})
        joins += u" LEFT JOIN [%1] AS %2 ON %2.[%1Id] = b.[%1Id]"_s.arg(QLatin1StringView(table))
                     .arg(QChar(table[0]).toLower());
    QStringList books =
        TextsOf(u"SELECT b.[Title], b.[Stars], s.[Name], f.[Name], b.[Pages], r.[Name], b.[Copyright], "
                "b.[Publisher], a.[Name], (SELECT group_concat(n, '/') FROM (SELECT w.[Name] AS n "
                "FROM [BookAward] AS ba INNER JOIN [Award] AS w ON w.[AwardId] = ba.[AwardId] "
                "WHERE ba.[BookId] = b.[BookId] ORDER BY ba.rowid)), l.[Name], b.[LabelNumber], "
                "b.[AcquireDate], b.[Cost], b.[LentTo], b.[LentDate], b.[Notes] FROM [Book] AS b"_s +
                joins);
    books.sort();
    return books;
}

} // namespace exchangetest
