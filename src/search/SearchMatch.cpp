#include "search/SearchMatch.h"

#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"

#include <QStringList>

namespace {

// The books as the list shows them: a book whose subject or location row is missing is not
// listed, so it must not count as a match of the searches by name either.
const QString kListedBooks =
    QStringLiteral("FROM ([Book] m INNER JOIN [Subject] g ON m.[SubjectId] = g.[SubjectId]) "
                   "INNER JOIN [Location] l ON m.[LocationId] = l.[LocationId]");

// Only whether one row exists matters, so every test stops at the first.
QString existsQuery(const QString& fromAndWhere) {
    return u"SELECT EXISTS (SELECT 1 " + fromAndWhere + u')';
}

QString fieldTest(const QString& column) {
    return existsQuery(u"FROM [Book] WHERE [" + column + u"] LIKE ?");
}

QString matchQuery(SearchKind kind) {
    switch (kind) {
    case SearchKind::Title:
        return fieldTest(QStringLiteral("Title"));
    case SearchKind::Label:
        return fieldTest(QStringLiteral("LabelNumber"));
    case SearchKind::Publisher:
        return fieldTest(QStringLiteral("Publisher"));
    case SearchKind::Notes:
        return fieldTest(QStringLiteral("Notes"));
    case SearchKind::Subject:
        return existsQuery(kListedBooks +
                           u" WHERE m.[SubjectId] IN (SELECT gg.[SubjectId] FROM [Subject] AS gg "
                           u"WHERE gg.[Name] LIKE ?)");
    case SearchKind::Location:
        return existsQuery(kListedBooks + u" WHERE m.[LocationId] IN (SELECT ll.[LocationId] FROM [Location] "
                                          u"AS ll WHERE ll.[Name] LIKE ?)");
    case SearchKind::Award:
        return existsQuery(kListedBooks + u" INNER JOIN [BookAward] ma ON ma.[BookId] = m.[BookId] "
                                          u"WHERE ma.[AwardId] IN (SELECT a.[AwardId] FROM [Award] AS a "
                                          u"WHERE a.[Name] LIKE ?)");
    case SearchKind::Author:
        break;
    }
    return {};
}

// Authors are matched in two steps: the authors whose name matches, then their books. An
// author without books does not make a match.
DbResult<SearchMatch> findAuthorMatch(const QString& pattern) {
    auto authors = Recordset::open(
        QStringLiteral("SELECT [AuthorId] FROM [Author] WHERE [Name] LIKE ? ORDER BY [AuthorId]"), {pattern});
    if (!authors)
        return authors.error();
    QStringList ids;
    ids.reserve(authors->recordCount());
    for (; !authors->eof(); authors->moveNext())
        ids.append(QString::number(authors->field(0).toLongLong()));
    if (ids.isEmpty())
        return SearchMatch{};
    const QString list = ids.join(u',');
    // The list travels as one bound value, so every search runs the same prepared statement.
    auto books = QueryNumber(
        existsQuery(QStringLiteral("FROM [Book] WHERE [AuthorId] IN (SELECT [value] FROM json_each(?))")),
        {QString(u'[' + list + u']')});
    if (!books)
        return books.error();
    return SearchMatch{*books != 0, *books != 0 ? list : QString()};
}

// A title that begins with plain text is looked for among the titles whose key begins alike,
// through the key's index, when every title is keyed.
DbResult<qint64> findTitle(const QString& pattern) {
    const auto keyed = NameKeysCurrent(KeyedColumnOf(u"Book"));
    if (!keyed)
        return keyed.error();
    const auto range = *keyed ? KeyPrefixRange(LikePrefix(pattern)) : std::nullopt;
    if (!range)
        return QueryNumber(matchQuery(SearchKind::Title), {pattern});
    return QueryNumber(existsQuery(QStringLiteral(
                           "FROM [Book] WHERE [TitleKey] >= ? AND [TitleKey] < ? AND [Title] LIKE ?")),
                       {range->first, range->second, pattern});
}

} // namespace

DbResult<SearchMatch> FindSearchMatch(SearchKind kind, const QString& text) {
    const QString pattern = WildcardToSql(text);
    if (kind == SearchKind::Author)
        return findAuthorMatch(pattern);
    auto found = kind == SearchKind::Title ? findTitle(pattern) : QueryNumber(matchQuery(kind), {pattern});
    if (!found)
        return found.error();
    return SearchMatch{*found != 0, {}};
}

QString WrapInAsterisks(const QString& text) {
    QString wrapped = text.trimmed();
    if (!wrapped.startsWith(u'*'))
        wrapped.prepend(u'*');
    if (!wrapped.endsWith(u'*'))
        wrapped.append(u'*');
    return wrapped;
}
