#pragma once

#include "db/DbResult.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The book list walks the catalogue in the user's alphabetical order, a million books in a blink,
// through indexes. Beside each title, and each author, subject and location name, the catalogue
// keeps its sort key (a byte string that compares as the texts do) in a plain indexed column,
// and the other columns the list sorts by are indexed too. The keys follow one locale's order,
// named in [TitleOrderLocale]; a text written without its key (by another tool, or by a bulk
// import) or keyed in another order is keyed again before the list reads it.

// A text column and the column holding its sort keys.
struct SortKeyColumn {
    QString table;
    QString idColumn;
    QString textColumn;
    QString keyColumn;
};
// Book's Title, and the Name of Author, Subject and Location.
const SortKeyColumn& SortKeyColumnOf(QStringView table);

// The sort key of a text in the user's order.
QByteArray SortKeyOf(QStringView text);

// Adds the key columns, their indexes and the indexes of the other sorted columns of Book (the
// title's name key is indexed together with the title, in place of its own index), the triggers
// that drop a key when its text changes, and the table naming the order. Safe to run again.
DbStatus AddSortKeys();

// Keys every row whose key is missing, and every row when the keys follow another order. A
// catalogue that may only be read is left as it is.
DbStatus RepairSortKeys();

// "SELECT id, key FROM table ORDER BY key, id": through the key's index when every key is there
// and follows the user's order, otherwise keying the texts as they are read (right, but a sort
// of every row).
DbResult<QString> SortedByKey(const SortKeyColumn& column);
