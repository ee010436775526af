#pragma once

#include <QByteArray>
#include <QLocale>
#include <QStringView>

class QSqlDatabase;
struct UCollator;

// Alphabetical order as the user's language orders it: letters first, then accents, then letter
// case decide; numbers inside a text compare by value ("Book 9" before "Book 10").
class ReadingOrder {
public:
    // A locale without a language (C, POSIX) orders as the Unicode root order does.
    explicit ReadingOrder(const QLocale& locale);
    ~ReadingOrder();
    ReadingOrder(const ReadingOrder&) = delete;
    ReadingOrder& operator=(const ReadingOrder&) = delete;

    // The order of the user's locale, made on first use and kept for the run.
    static const ReadingOrder& forUser();

    // Below 0 when `left` comes first, 0 when the two are alike, above 0 otherwise.
    int compare(QStringView left, QStringView right) const;
    // Bytes that compare byte by byte as the texts do: sorting many texts by their keys is
    // much faster than comparing the texts themselves.
    QByteArray sortKey(QStringView text) const;
    void appendSortKey(QStringView text, QByteArray& keys) const;
    // Which order the keys follow: the locale and the collation's version. Keys kept from an
    // order of another name no longer sort as this one does.
    QString name() const { return m_name; }

private:
    UCollator* m_collator = nullptr;
    QString m_name;
};

// The program's own statements order by the user's locale through the collation READING
// ("ORDER BY [Name] COLLATE READING"), or, where many rows are sorted, through the sort key
// function READING_KEY ("ORDER BY READING_KEY([Title])"), which is worked out once per row.
// Neither is known to other tools, so neither may appear in the catalogue's schema.
bool registerReadingOrder(const QSqlDatabase& database);
