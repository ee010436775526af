// tomekeep-cli list: the books the main window would list, under the same searches.
#include "cli/Cli.h"
#include "main/BookListQuery.h"
#include "main/SearchState.h"
#include "search/SearchMatch.h"

#include <QCommandLineParser>
#include <algorithm>

namespace {

struct ListSearch {
    const char* name;
    SearchKind kind;
    int mode;
};

constexpr ListSearch kSearches[] = {
    {"title", SearchKind::Title, kSearchTitle},       {"label", SearchKind::Label, kSearchLabel},
    {"author", SearchKind::Author, kSearchAuthor},    {"publisher", SearchKind::Publisher, kSearchPublisher},
    {"subject", SearchKind::Subject, kSearchSubject}, {"location", SearchKind::Location, kSearchLocation},
    {"award", SearchKind::Award, kSearchAward},       {"notes", SearchKind::Notes, kSearchNotes},
};

const ListSearch* findSearch(const QString& name) {
    for (const ListSearch& search : kSearches) {
        if (name.compare(QLatin1String(search.name), Qt::CaseInsensitive) == 0)
            return &search;
    }
    return nullptr;
}

QString kindNames() {
    QStringList names;
    for (const ListSearch& search : kSearches)
        names << QLatin1String(search.name);
    return names.join(QStringLiteral(", "));
}

// Tabs and line breaks inside a value would split its line.
QString field(QString text) {
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

QString rowLine(const BookRow& row) {
    return QStringList{QString::number(row.bookId),
                       field(row.title),
                       field(row.author),
                       field(row.subject),
                       field(row.location),
                       QString::number(row.pages),
                       row.hasCopyright ? QString::number(row.copyright) : QString(),
                       row.hasStars ? QString::number(row.stars) : QString()}
        .join(u'\t');
}

} // namespace

void ListOptions(QCommandLineParser& parser) {
    parser.addOption({QStringLiteral("search"),
                      QStringLiteral("Lists only the books whose KIND (%1) matches PATTERN; * stands for any "
                                     "run of characters, ? for any one.")
                          .arg(kindNames()),
                      QStringLiteral("KIND")});
    parser.addPositionalArgument(QStringLiteral("PATTERN"), QStringLiteral("What --search looks for."));
}

int RunList(const QCommandLineParser& parser) {
    ListQuery query = BookListQuery(kSearchAll, QString(), QString());
    const QStringList rest = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("search"))) {
        const ListSearch* search = findSearch(parser.value(QStringLiteral("search")));
        if (!search)
            return CliUsageError(QStringLiteral("list"),
                                 QStringLiteral("the search kinds are %1").arg(kindNames()));
        if (rest.size() != 1 || rest.first().trimmed().isEmpty())
            return CliUsageError(QStringLiteral("list"), QStringLiteral("--search needs one pattern"));
        const QString pattern =
            search->kind == SearchKind::Notes ? WrapInAsterisks(rest.first()) : rest.first();
        const auto match = FindSearchMatch(search->kind, pattern);
        if (!match)
            return CliFail(match.error().messageText());
        if (!match->found)
            return kExitDone;
        query = BookListQuery(search->mode, pattern, match->authorIds);
    } else if (!rest.isEmpty()) {
        return CliUsageError(QStringLiteral("list"), QStringLiteral("a pattern goes with --search KIND"));
    }
    auto rows = FetchBookRows(query);
    if (!rows)
        return CliFail(rows.error().messageText());
    std::sort(rows->begin(), rows->end(),
              [](const BookRow& a, const BookRow& b) { return a.bookId < b.bookId; });
    for (const BookRow& row : *rows)
        CliPrint(rowLine(row));
    return kExitDone;
}
