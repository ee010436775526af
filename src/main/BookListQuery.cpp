#include "main/BookListQuery.h"

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "main/SearchState.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// Books whose subject or location row is missing are in no list: the joins are inner joins.
// The author is looked up in the same statement; a book without an author row shows none.
const QString kBase = QStringLiteral(
    "SELECT m.[BookId], m.[Title], a.[Name], g.[Name], l.[Name], m.[Pages], m.[Copyright], m.[Stars] "
    "FROM [Book] m INNER JOIN [Subject] g ON m.[SubjectId] = g.[SubjectId] "
    "INNER JOIN [Location] l ON m.[LocationId] = l.[LocationId] "
    "LEFT JOIN [Author] a ON a.[AuthorId] = m.[AuthorId]");

struct ModeFilter {
    int mode;
    const char* where;
};

// One condition per search mode; "?" is the mode's LIKE pattern. A book with two matching
// awards is listed once, as the award condition asks whether any of its awards matches.
constexpr ModeFilter kFilters[] = {
    {kSearchTitle, "m.[Title] LIKE ?"},
    {kSearchLabel, "m.[LabelNumber] LIKE ?"},
    {kSearchAward, "m.[BookId] IN (SELECT ma.[BookId] FROM [BookAward] ma WHERE ma.[AwardId] IN "
                   "(SELECT aw.[AwardId] FROM [Award] aw WHERE aw.[Name] LIKE ?))"},
    {kSearchPublisher, "m.[Publisher] LIKE ?"},
    {kSearchAuthor, "m.[AuthorId] IN (SELECT [value] FROM json_each(?))"},
    {kSearchSubject, "m.[SubjectId] IN (SELECT gg.[SubjectId] FROM [Subject] gg WHERE gg.[Name] LIKE ?)"},
    {kSearchLocation, "m.[LocationId] IN (SELECT ll.[LocationId] FROM [Location] ll WHERE ll.[Name] LIKE ?)"},
    {kSearchNotes, "m.[Notes] LIKE ?"},
};

const QString* patternOf(int mode) {
    switch (mode) {
    case kSearchTitle:
        return &gSearchTitle;
    case kSearchLabel:
        return &gSearchLabel;
    case kSearchAward:
        return &gSearchAward;
    case kSearchPublisher:
        return &gSearchPublisher;
    case kSearchSubject:
        return &gSearchSubject;
    case kSearchLocation:
        return &gSearchLocation;
    case kSearchNotes:
        return &gSearchNotes;
    default:
        return nullptr;
    }
}

} // namespace

QString LikePattern(const QString& userPattern) {
    // No wildcard is added: a pattern without one matches whole values only.
    return WildcardToSql(userPattern);
}

QString AuthorIdsAsJson(const QString& authorIds) {
    QStringList numbers;
    for (const QString& part : authorIds.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (ok)
            numbers << QString::number(id);
    }
    return u'[' + numbers.join(u',') + u']';
}

ListQuery BookListQuery(int mode, const QString& pattern, const QString& authorIds) {
    for (const ModeFilter& filter : kFilters) {
        if (filter.mode != mode)
            continue;
        const QVariant value = mode == kSearchAuthor ? AuthorIdsAsJson(authorIds) : LikePattern(pattern);
        return {kBase + QStringLiteral(" WHERE ") + QLatin1String(filter.where), {value}};
    }
    return {kBase, {}};
}

ListQuery CurrentBookListQuery() {
    const QString* pattern = patternOf(gSearchMode);
    return BookListQuery(gSearchMode, pattern ? *pattern : QString(), gSearchAuthorIds);
}

DbResult<std::vector<BookRow>> FetchBookRows(const ListQuery& query) {
    auto ran = gConn.run(query.sql, query.params);
    if (!ran)
        return ran.error();
    QSqlQuery& rows = **ran;
    std::vector<BookRow> books;
    while (rows.next()) {
        BookRow& book = books.emplace_back();
        book.bookId = rows.value(0).toInt();
        book.title = rows.value(1).toString();
        book.author = rows.value(2).toString();
        book.subject = rows.value(3).toString();
        book.location = rows.value(4).toString();
        book.pages = rows.value(5).toInt();
        const QVariant copyright = rows.value(6);
        book.hasCopyright = !copyright.isNull();
        book.copyright = copyright.toInt();
        const QVariant stars = rows.value(7);
        book.hasStars = !stars.isNull();
        book.stars = stars.toDouble();
    }
    rows.finish();
    return books;
}
