#pragma once

#include "db/DbResult.h"

#include <QString>
#include <array>
#include <optional>
#include <utility>

// Names and titles compare without regard to letter case, in every alphabet: "Chloé Achebe" and
// "CHLOÉ ACHEBE" are one author, "Straße" and "STRASSE" one title. Beside each such text the
// catalogue keeps its key, the text with full Unicode case folding, in a plain indexed column
// that any tool can read. The program writes the key with every text it writes; a row written by
// another tool has none, and the program keys it before it compares (RepairNameKeys).

// A statement written with {table}, {id}, {text} and {key} for the names of a keyed column.
QString KeyedStatement(const char* pattern, const QString& table, const QString& id, const QString& text,
                       const QString& key);
// The entry of a table of keyed columns that belongs to `table`; the first when none does.
template <typename Column, size_t N>
const Column& ColumnOfTable(const std::array<Column, N>& columns, QStringView table) {
    for (const Column& column : columns) {
        if (column.table == table)
            return column;
    }
    Q_ASSERT_X(false, "ColumnOfTable", "no keyed column in that table");
    return columns.front();
}

// The key of a text: its full Unicode case folding ("Straße" and "STRASSE" give "strasse").
QString NameKey(QStringView text);

// A text column compared by key: Book's Title, and the Name of each lookup table.
struct KeyedColumn {
    QString table;
    QString idColumn;
    QString textColumn;
    QString keyColumn;
    // The statements the look-ups run, written once: a book is added thousands of times a second.
    QString staleRows;
    QString firstIdByKey;
    QString countByKey;
    QString insertRow;
    QString storeKey;
};
// The keyed column of a table: Book, Author, Award, Subject, Location, Format or Rating.
const KeyedColumn& KeyedColumnOf(QStringView table);

// Adds the key columns, their indexes and the triggers that mark a key stale when another tool
// changes the text, and keys every row. Safe to run again.
DbStatus AddNameKeys();
// Keys the rows of the table whose key is missing: added by another tool, or whose text another
// tool changed. Finds them through the key's index, so it costs next to nothing when all are keyed.
DbStatus RepairNameKeys(const KeyedColumn& column);
DbStatus RepairAllNameKeys();
// True when the column has its keys and every row is keyed: a look-up by key finds every row.
DbResult<bool> NameKeysCurrent(const KeyedColumn& column);

// The range that the keys of texts beginning with `prefix` lie between: from the prefix's own key
// up to, not including, the returned upper end. None when the prefix is empty.
std::optional<std::pair<QString, QString>> KeyPrefixRange(const QString& prefix);
// The plain text a LIKE pattern begins with, up to its first wildcard.
QString LikePrefix(const QString& likePattern);

// The first row (lowest identifier) whose text equals `text`, letter case aside; -1 when none.
DbResult<int> FindIdByName(const KeyedColumn& column, const QString& text);
DbResult<qint64> CountByName(const KeyedColumn& column, const QString& text);
// Adds a lookup row holding only its name (and key); answers its identifier.
DbResult<int> AddNamedRow(const KeyedColumn& column, const QString& name);
// Writes the key of a row whose text the program has just written.
DbStatus StoreNameKey(const KeyedColumn& column, qint64 id, const QString& text);
