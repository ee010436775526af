#pragma once

#include "db/DbResult.h"
#include "db/Money.h"

#include <QDate>
#include <QString>
#include <QVariant>

class QLineEdit;

// The null date stored for a date that is not given; any date before 1900 counts as none.
inline const QDate kNullDate{1899, 1, 1};
// What an unreadable date reads as; it too counts as no date.
inline const QDate kZeroDate{1899, 12, 30};

bool IsNoDate(const QDate& date);
// A date as the catalogue stores it: "YYYY-MM-DD", the null date for no date.
QString DateToStored(const QDate& date);
// A stored date read back; anything unreadable is the null date.
QDate DateFromStored(const QVariant& value);

QString SqlQuote(const QString& text);
QString NullToEmpty(const QVariant& value);
QString WildcardToSql(const QString& text);
QString KeepNumeric(const QString& text);
QDate SafeDate(const QString& text);
QString DateSeparatorsToSlashes(const QString& text);
QString StripDoubleQuotes(const QString& text);
QString NewlinesToBars(const QString& text);
QString BarsToNewlines(const QString& text);
void SelectAllText(QLineEdit* box);

// The leading decimal number of a text ("12abc" is 12, " -3.5x" is -3.5, "abc" is 0).
double LeadingNumber(const QString& text);
// The leading number as a 32-bit integer, rounded half to even and held within range.
int LeadingInteger(const QString& text);

// Finds the row of that name (letter case ignored) or adds it; answers its identifier.
DbResult<int> GetLookupId(const QString& table, const QString& idColumn, const QString& name);
// The author's name, empty when there is no such author.
DbResult<QString> GetAuthorName(int authorId);
// The author's identifier, -1 when no author has that name.
DbResult<int> GetAuthorId(const QString& name);

// Every stored column of a book but its number.
struct BookFields {
    int subjectId = 0;
    int locationId = 0;
    int formatId = 0;
    int ratingId = 0;
    QString title;
    QString labelNumber;
    QString publisher;
    int authorId = 0;
    int copyright = 0;
    int pages = 0;
    double stars = 0.0;
    QDate acquireDate = kNullDate;
    Money cost;
    QString lentTo;
    QDate lentDate = kNullDate;
    QString notes;
    // 13 digits, empty when unknown.
    QString isbn;

    friend bool operator==(const BookFields&, const BookFields&) = default;
};

// Adds the book and answers its number, or -1 (nothing written) when a book of that title exists.
DbResult<int> InsertBook(const BookFields& book);
// Adds the book whatever its title: imports tell two books of one title apart by ISBN or author.
DbResult<int> AddBook(const BookFields& book);
// Rewrites every column of the book but its ISBN; titles are not checked and awards are left alone.
DbStatus UpdateBook(int bookId, const BookFields& book);
DbStatus AddBookAward(int bookId, int awardId);

struct BookRef {
    int bookId = -1;
    QString title;
};
// The first book other than exceptBookId that has this ISBN; bookId -1 when there is none.
DbResult<BookRef> FindBookWithIsbn(const QString& isbn, int exceptBookId = -1);
