#include "main/BookListQuery.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "main/SearchState.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Books whose subject or location row is missing are in no list: the joins are inner joins.
// The names of a book's author, subject and location come from the lookup lists, read once per
// reload: a hundred thousand rows share a few thousand names.
const QString kRowColumns = QStringLiteral(
    "SELECT m.[BookId], m.[Title], m.[AuthorId], m.[SubjectId], m.[LocationId], m.[Pages], m.[Copyright], "
    "m.[Stars] ");
const QString kFrom = QStringLiteral("FROM [Book] m INNER JOIN [Subject] g ON m.[SubjectId] = g.[SubjectId] "
                                     "INNER JOIN [Location] l ON m.[LocationId] = l.[LocationId]");
const QString kTitleKeyRange = QStringLiteral("m.[TitleKey] >= ? AND m.[TitleKey] < ? AND ");

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

DbResult<QHash<int, QString>> namesOf(const QString& table) {
    auto ran = gConn.run(u"SELECT [" + table + u"Id], [Name] FROM [" + table + u']');
    if (!ran)
        return ran.error();
    QSqlQuery& rows = **ran;
    QHash<int, QString> names;
    while (rows.next())
        names.insert(rows.value(0).toInt(), rows.value(1).toString());
    rows.finish();
    return names;
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

namespace {

ListQuery searchQuery(const QString& select, const QString& from, int mode, const QString& pattern,
                      const QString& authorIds, bool titleKeys) {
    for (const ModeFilter& filter : kFilters) {
        if (filter.mode != mode)
            continue;
        const QString like = LikePattern(pattern);
        const QVariant value = mode == kSearchAuthor ? AuthorIdsAsJson(authorIds) : QVariant(like);
        const QString where = QStringLiteral(" WHERE ") + QLatin1String(filter.where);
        if (mode == kSearchTitle && titleKeys) {
            // Every title the pattern matches has a key that begins as the pattern's plain start.
            if (const auto range = KeyPrefixRange(LikePrefix(like)))
                return {select + from + QStringLiteral(" WHERE ") + kTitleKeyRange +
                            QLatin1String(filter.where),
                        {range->first, range->second, value}};
        }
        return {select + from + where, {value}};
    }
    return {select + from, {}};
}

const QString& currentPattern() {
    static const QString none;
    const QString* pattern = patternOf(gSearchMode);
    return pattern ? *pattern : none;
}

} // namespace

ListQuery BookListQuery(int mode, const QString& pattern, const QString& authorIds) {
    return searchQuery(kRowColumns, kFrom, mode, pattern, authorIds, false);
}

ListQuery BookIdsQuery(int mode, const QString& pattern, const QString& authorIds, bool titleKeys) {
    return searchQuery(QStringLiteral("SELECT m.[BookId] "), QStringLiteral("FROM [Book] m"), mode, pattern,
                       authorIds, titleKeys);
}

ListQuery CurrentBookListQuery() {
    return BookListQuery(gSearchMode, currentPattern(), gSearchAuthorIds);
}

ListQuery CurrentBookIdsQuery() {
    const auto keyed = NameKeysCurrent(KeyedColumnOf(u"Book"));
    return BookIdsQuery(gSearchMode, currentPattern(), gSearchAuthorIds, keyed && *keyed);
}

DbResult<std::vector<BookRow>> FetchBookRows(const ListQuery& query) {
    auto authors = namesOf(QStringLiteral("Author"));
    auto subjects = namesOf(QStringLiteral("Subject"));
    auto locations = namesOf(QStringLiteral("Location"));
    for (const auto* names : {&authors, &subjects, &locations}) {
        if (!*names)
            return names->error();
    }
    auto ran = gConn.run(query.sql, query.params);
    if (!ran)
        return ran.error();
    QSqlQuery& rows = **ran;
    std::vector<BookRow> books;
    // The engine knows the number only once every row is read; a generous start saves copies.
    books.reserve(4096);
    while (rows.next()) {
        BookRow& book = books.emplace_back();
        book.bookId = rows.value(0).toInt();
        book.title = rows.value(1).toString();
        book.author = authors->value(rows.value(2).toInt());
        book.subject = subjects->value(rows.value(3).toInt());
        book.location = locations->value(rows.value(4).toInt());
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
