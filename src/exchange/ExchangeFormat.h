#pragma once

#include "db/Money.h"
#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "db/Schema.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The exchange file: a header line naming eighteen fields, then one book per line. Numbers are
// written bare, texts between double quotes (with their own double quotes removed), dates as
// "mm/dd/yyyy" between double quotes or nothing at all; fields are separated by single commas.
inline constexpr int kExchangeFieldCount = 18;
// A line shorter than this ends the books of a file.
inline constexpr int kShortestBookLine = 20;

// Longer texts read from a file are cut to what their columns hold (db/Schema.h).

// One book as the exchange file carries it: lookups by name, awards joined by "/".
struct ExchangeBook {
    int bookId = 0;
    QString title;
    double stars = 0.0;
    QString subject;
    QString format;
    int pages = 0;
    QString rating;
    int copyright = 0;
    QString publisher;
    QString author;
    QString awards;
    QString location;
    QString label;
    QDate acquiredDate = kNullDate;
    Money cost;
    QString lentTo;
    QDate lentDate = kNullDate;
    QString notes;

    friend bool operator==(const ExchangeBook&, const ExchangeBook&) = default;
};

// The book's own values as the catalogue stores them; the lookup numbers are left to the caller.
BookFields StoredValues(const ExchangeBook& book);

QString ExchangeHeader();
// True when a file's first line is the header, blanks around it and letter case aside.
bool IsExchangeHeader(const QString& line);

// A number as the file writes it: plain decimal text with "." and no exponent; 0 for no value.
QString PlainNumber(double value);
QString BuildExportLine(const ExchangeBook& book);

// Cuts the first field off the line (the line keeps what follows its comma) and answers it,
// its enclosing double quotes removed. A comma inside double quotes does not end a field.
QString NextField(QString& line);

struct SplitLine {
    QStringList fields; // at most kExchangeFieldCount
    bool moreFields = false;
    bool complete() const { return fields.size() == kExchangeFieldCount && !moreFields; }
};
// The fields of a book line, cut as NextField cuts them; stops after the eighteenth.
SplitLine SplitExchangeLine(QStringView line);

// A book line read into its values, texts cut to their columns; nothing when the line does not
// hold exactly eighteen fields.
std::optional<ExchangeBook> ParseExchangeLine(QStringView line);

// A text cut to at most `length` characters, never between the two halves of a surrogate pair.
QString CutToLength(const QString& text, int length);

// Award names that themselves hold a "/", so that the Awards field can be cut back into names.
class SlashedAwardNames {
public:
    void add(const QString& name);
    bool contains(const QString& name) const { return m_keys.contains(NameKey(name)); }
    qsizetype longest() const { return m_longest; }
    bool isEmpty() const { return m_keys.isEmpty(); }

private:
    QSet<QString> m_keys;
    qsizetype m_longest = 0;
};

// The award names of an Awards field: pieces between "/" with blanks around them removed, empty
// pieces skipped, each cut to the length of a name. Neighbouring pieces that together name a known
// award with a "/" in its name ("PEN/Faulkner Award") stay one name.
QStringList SplitAwards(QStringView awards, const SlashedAwardNames& known);
