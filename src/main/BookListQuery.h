#pragma once

#include "db/DbResult.h"

#include <QString>
#include <QVariantList>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A statement with its bound values.
struct ListQuery {
    QString sql;
    QVariantList params;
};

// What one row of the book list shows of a book.
struct BookRow {
    int bookId = 0;
    int pages = 0;
    int copyright = 0;
    double stars = 0.0;
    bool hasCopyright = false;
    bool hasStars = false;
    QString title;
    QString author;
    QString subject;
    QString location;
};

// The wildcard pattern ("*" any run, "?" any one character) as the LIKE pattern it stands for.
QString LikePattern(const QString& userPattern);
// "12,7,x,30" as the JSON array "[12,7,30]"; entries that are not whole numbers are left out.
QString AuthorIdsAsJson(const QString& authorIds);

// The books a search mode lists. pattern is the mode's own text in the user's wildcard notation;
// authorIds the comma-separated author numbers of the author mode. An author mode without any
// number lists nothing; a mode the list does not know lists every book. Each book comes once,
// in no particular order: the list sorts by its own column.
ListQuery BookListQuery(int mode, const QString& pattern, const QString& authorIds);
// The same search selecting only the numbers of the books it finds, whatever their subject and
// location (the list leaves out those whose rows are missing on its own). With `titleKeys` (every
// title's key is in place) a title pattern that begins with plain text reads only the titles whose
// key begins alike, through the key's index, before it compares them.
ListQuery BookIdsQuery(int mode, const QString& pattern, const QString& authorIds, bool titleKeys);
// The statements of the search state in force (gSearchMode and its pattern).
ListQuery CurrentBookListQuery();
ListQuery CurrentBookIdsQuery();

DbResult<std::vector<BookRow>> FetchBookRows(const ListQuery& query);
