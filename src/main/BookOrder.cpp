#include "main/BookOrder.h"

#include "db/NameKeys.h"
#include "db/ReadingOrder.h"
#include "db/SortKeys.h"
#include "db/SqliteStatement.h"
#include "main/BookListModel.h"
#include "main/QuickFilter.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Narrowing a filter reads the books it keeps one by one; past this share of the catalogue,
// one read of every book is quicker.
constexpr int kNarrowingShare = 8;
// Book numbers that lie this close together are mapped through an array.
constexpr int kDirectSpread = 4;

using Statement = std::unique_ptr<SqliteStatement>;

// Runs a statement and hands each row to `take`; the statement's status tells how it ended.
template <typename Take>
DbStatus eachRow(const QString& sql, const QVariantList& params, Take take) {
    auto statement = SqliteStatement::prepare(sql, params);
    if (!statement)
        return statement.error();
    while ((*statement)->next())
        take(**statement);
    return (*statement)->status();
}

// The numbers a lookup column of Book holds that name no row of its table; null counts too.
// Walks the column's index one distinct value at a time: a few hundred steps for a million books.
DbResult<std::vector<qint64>> missingLookups(const QString& table) {
    const QString id = table + QStringLiteral("Id");
    QSet<qint64> known;
    if (DbStatus read = eachRow(u"SELECT [" + id + u"] FROM [" + table + u']', {},
                                [&known](const SqliteStatement& row) { known.insert(row.integer64(0)); });
        !read)
        return read.error();
    auto step = SqliteStatement::prepare(u"SELECT [" + id + u"] FROM [Book] WHERE [" + id +
                                         u"] > ? ORDER BY [" + id + u"] LIMIT 1");
    if (!step)
        return step.error();
    std::vector<qint64> missing;
    qint64 after = std::numeric_limits<qint64>::min();
    for (;;) {
        if (DbStatus bound = (*step)->rebind({after}); !bound)
            return bound.error();
        if (!(*step)->next())
            break;
        after = (*step)->integer64(0);
        if (!known.contains(after))
            missing.push_back(after);
    }
    if (!(*step)->status())
        return (*step)->status().error();
    return missing;
}

DbStatus dropBooksWith(const TitleOrderedBooks& byTitle, const QString& table, BookSet& listed) {
    const auto missing = missingLookups(table);
    if (!missing)
        return missing.error();
    const QString id = table + QStringLiteral("Id");
    const auto drop = [&](const SqliteStatement& row) {
        if (const int slot = byTitle.slots.slotOf(row.integer(0)); slot >= 0)
            listed.remove(slot);
    };
    if (DbStatus nulls = eachRow(u"SELECT [BookId] FROM [Book] WHERE [" + id + u"] IS NULL", {}, drop);
        !nulls)
        return nulls;
    for (const qint64 value : *missing) {
        if (DbStatus dropped = eachRow(u"SELECT [BookId] FROM [Book] WHERE [" + id + u"] = ?", {value}, drop);
            !dropped)
            return dropped;
    }
    return {};
}

// Folded names of a lookup table, for the quick filter.
DbResult<QHash<qint64, std::string>> foldedNames(const QString& table) {
    QHash<qint64, std::string> names;
    const DbStatus read = eachRow(
        u"SELECT [" + table + u"Id], [Name] FROM [" + table + u']', {},
        [&names](const SqliteStatement& row) { names.insert(row.integer64(0), FoldForFilter(row.text(1))); });
    if (!read)
        return read.error();
    return names;
}

// The filter's key of one book read as Title, AuthorId, SubjectId, Publisher, LabelNumber, Notes
// from `first` on.
std::string filterKeyOf(const SqliteStatement& row, int first, const QHash<qint64, std::string>& authors,
                        const QHash<qint64, std::string>& subjects) {
    std::string key;
    AppendUtf8FilterField(key, row.utf8(first));
    AppendFoldedField(key, authors.value(row.integer64(first + 1)));
    AppendFoldedField(key, subjects.value(row.integer64(first + 2)));
    for (int column = first + 3; column < first + 6; ++column)
        AppendUtf8FilterField(key, row.utf8(column));
    return key;
}

// Walks a keyed column in key order and hands each row's id with its place: equal keys share
// a place, and an empty key (an empty text) has place 0.
template <typename Take>
DbStatus eachPlace(const SortKeyColumn& column, Take take) {
    const auto walk = SortedByKey(column);
    if (!walk)
        return walk.error();
    std::string previous;
    int place = 0;
    return eachRow(*walk, {}, [&](const SqliteStatement& row) {
        const std::string_view key = row.bytes(1);
        if (key != previous) {
            ++place;
            previous.assign(key);
        }
        take(row.integer64(0), place);
    });
}

// The place of each name of a lookup table in the user's alphabetical order. A number naming no
// row reads as an empty name (place 0), as the list shows it.
struct NamePlaces {
    BookSlots slots;
    std::vector<int> places;
    int of(qint64 id) const {
        const int slot = id == static_cast<int>(id) ? slots.slotOf(static_cast<int>(id)) : -1;
        return slot < 0 ? 0 : places[static_cast<size_t>(slot)];
    }
};

DbResult<NamePlaces> namePlaces(const QString& table) {
    std::vector<int> ids;
    NamePlaces named;
    const DbStatus read = eachPlace(SortKeyColumnOf(table), [&](qint64 id, int place) {
        ids.push_back(static_cast<int>(id));
        named.places.push_back(place);
    });
    if (!read)
        return read.error();
    named.slots = BookSlots(ids);
    return named;
}

constexpr double kMissing = -std::numeric_limits<double>::infinity();

// What a column sorts the books by, by slot. Missing numbers come first.
DbResult<std::vector<double>> sortValues(const TitleOrderedBooks& byTitle, int column) {
    std::vector<double> values(byTitle.ids.size(), kMissing);
    const auto store = [&](const SqliteStatement& row, double value) {
        if (const int slot = byTitle.slots.slotOf(row.integer(0)); slot >= 0)
            values[static_cast<size_t>(slot)] = value;
    };
    QString lookup;
    switch (column) {
    case BookListModel::ColBookNumber:
        for (size_t slot = 0; slot < values.size(); ++slot)
            values[slot] = byTitle.ids[slot];
        return values;
    case BookListModel::ColAuthor:
        lookup = QStringLiteral("Author");
        break;
    case BookListModel::ColSubject:
        lookup = QStringLiteral("Subject");
        break;
    case BookListModel::ColLocation:
        lookup = QStringLiteral("Location");
        break;
    default: {
        const char* field = column == BookListModel::ColPages  ? "Pages"
                            : column == BookListModel::ColYear ? "Copyright"
                                                               : "Stars";
        // Pages read as 0 when missing, as the list shows them.
        const bool zeroWhenMissing = column == BookListModel::ColPages;
        const DbStatus read =
            eachRow(QStringLiteral("SELECT [BookId], [%1] FROM [Book]").arg(QLatin1String(field)), {},
                    [&](const SqliteStatement& row) {
                        store(row, row.isNull(1) ? (zeroWhenMissing ? 0.0 : kMissing) : row.real(1));
                    });
        if (!read)
            return read.error();
        return values;
    }
    }
    const auto places = namePlaces(lookup);
    if (!places)
        return places.error();
    const DbStatus read =
        eachRow(QStringLiteral("SELECT [BookId], [%1Id] FROM [Book]").arg(lookup), {},
                [&](const SqliteStatement& row) { store(row, places->of(row.integer64(1))); });
    if (!read)
        return read.error();
    return values;
}

// Values that are whole numbers (or halves, as stars mostly are) over a short span are sorted by
// counting: one pass, whatever the number of books. Slots come in title order and keep it among
// equal values. None when the values do not allow it.
std::optional<std::vector<int>> countingSorted(const std::vector<int>& slots,
                                               const std::vector<double>& values, Qt::SortOrder order) {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    bool whole = true;
    bool halves = true;
    for (const int slot : slots) {
        const double value = values[static_cast<size_t>(slot)];
        if (value == kMissing)
            continue;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        whole = whole && value == std::floor(value);
        halves = halves && value * 2 == std::floor(value * 2);
    }
    const double scale = whole ? 1 : halves ? 2 : 0;
    const double span = slots.empty() || lowest > highest ? 0 : (highest - lowest) * scale;
    if (scale == 0 || span > static_cast<double>(slots.size()) * 2 + 1024)
        return std::nullopt;
    // Bucket 0 holds the missing values, which come first.
    const auto bucketOf = [&](int slot) {
        const double value = values[static_cast<size_t>(slot)];
        const size_t bucket = value == kMissing ? 0 : static_cast<size_t>((value - lowest) * scale) + 1;
        return order == Qt::AscendingOrder ? bucket : static_cast<size_t>(span) + 1 - bucket;
    };
    std::vector<int> starts(static_cast<size_t>(span) + 3, 0);
    for (const int slot : slots)
        ++starts[bucketOf(slot) + 1];
    for (size_t bucket = 1; bucket < starts.size(); ++bucket)
        starts[bucket] += starts[bucket - 1];
    std::vector<int> sorted(slots.size());
    for (const int slot : slots)
        sorted[static_cast<size_t>(starts[bucketOf(slot)]++)] = slot;
    return sorted;
}

// Equal titles keep their order (by number) whichever way the titles run.
std::vector<int> titlesDescending(const TitleOrderedBooks& byTitle, const std::vector<int>& ascending) {
    std::vector<int> descending;
    descending.reserve(ascending.size());
    size_t end = ascending.size();
    while (end > 0) {
        size_t start = end - 1;
        const int rank = byTitle.titleRank[static_cast<size_t>(ascending[start])];
        while (start > 0 && byTitle.titleRank[static_cast<size_t>(ascending[start - 1])] == rank)
            --start;
        descending.insert(descending.end(), ascending.begin() + static_cast<std::ptrdiff_t>(start),
                          ascending.begin() + static_cast<std::ptrdiff_t>(end));
        end = start;
    }
    return descending;
}

// Every BMP character that reads as `upper` in upper case, folded as title keys are.
QStringList foldsReadingAs(QChar upper) {
    static QHash<char16_t, QStringList> known;
    if (const auto found = known.constFind(upper.unicode()); found != known.cend())
        return *found;
    QStringList folds;
    for (char32_t unit = 1; unit < 0x10000; ++unit) {
        const QChar c(static_cast<char16_t>(unit));
        if (c.isSurrogate() || c.toUpper() != upper)
            continue;
        const QString fold = NameKey(QString(c));
        if (!folds.contains(fold))
            folds << fold;
    }
    known.insert(upper.unicode(), folds);
    return folds;
}

} // namespace

BookSlots::BookSlots(const std::vector<int>& bookIds) {
    if (bookIds.empty())
        return;
    const auto [lowest, highest] = std::minmax_element(bookIds.begin(), bookIds.end());
    const qint64 spread = static_cast<qint64>(*highest) - *lowest + 1;
    if (spread <= static_cast<qint64>(bookIds.size()) * kDirectSpread + 1024) {
        m_lowest = *lowest;
        m_direct.assign(static_cast<size_t>(spread), -1);
        for (size_t slot = 0; slot < bookIds.size(); ++slot)
            m_direct[static_cast<size_t>(bookIds[slot] - m_lowest)] = static_cast<int>(slot);
        return;
    }
    m_sparse.reserve(bookIds.size());
    for (size_t slot = 0; slot < bookIds.size(); ++slot)
        m_sparse.emplace(bookIds[slot], static_cast<int>(slot));
}

int BookSlots::sparseSlotOf(int bookId) const {
    const auto found = m_sparse.find(bookId);
    return found == m_sparse.end() ? -1 : found->second;
}

DbResult<TitleOrderedBooks> ReadTitleOrderedBooks() {
    // Keys that cannot be written now (the catalogue refuses) leave the list to sort the titles.
    if (DbStatus repaired = RepairSortKeys(); !repaired)
        qWarning("Sort keys not brought up to date: %s", qPrintable(repaired.error().messageText()));
    TitleOrderedBooks books;
    const DbStatus walked = eachPlace(SortKeyColumnOf(u"Book"), [&books](qint64 id, int place) {
        books.ids.push_back(static_cast<int>(id));
        books.titleRank.push_back(place);
    });
    if (!walked)
        return walked.error();
    books.slots = BookSlots(books.ids);
    return books;
}

DbResult<BookSet> ListedBooks(const TitleOrderedBooks& byTitle) {
    BookSet listed(byTitle.ids.size());
    for (size_t slot = 0; slot < byTitle.ids.size(); ++slot)
        listed.add(static_cast<int>(slot));
    for (const QString& table : {QStringLiteral("Subject"), QStringLiteral("Location")}) {
        if (DbStatus dropped = dropBooksWith(byTitle, table, listed); !dropped)
            return dropped.error();
    }
    return listed;
}

DbResult<BookSet> BooksFound(const TitleOrderedBooks& byTitle, const BookSet& listed,
                             const ListQuery& idsQuery) {
    BookSet found(byTitle.ids.size());
    const DbStatus read = eachRow(idsQuery.sql, idsQuery.params, [&](const SqliteStatement& row) {
        if (const int slot = byTitle.slots.slotOf(row.integer(0)); slot >= 0 && listed.contains(slot))
            found.add(slot);
    });
    if (!read)
        return read.error();
    return found;
}

namespace {

// Hands the filter key of each book of `among` to `take`: few books are read one by one, many
// by reading the catalogue once.
template <typename Take>
DbStatus eachFilterKey(const TitleOrderedBooks& byTitle, const BookSet& among, Take take) {
    const auto authors = foldedNames(QStringLiteral("Author"));
    const auto subjects = foldedNames(QStringLiteral("Subject"));
    if (!authors || !subjects)
        return !authors ? authors.error() : subjects.error();
    const QString columns =
        QStringLiteral("[Title], [AuthorId], [SubjectId], [Publisher], [LabelNumber], [Notes]");
    if (among.count() * kNarrowingShare >= static_cast<int>(among.size()))
        return eachRow(u"SELECT [BookId], " + columns + u" FROM [Book]", {}, [&](const SqliteStatement& row) {
            const int slot = byTitle.slots.slotOf(row.integer(0));
            if (slot >= 0 && among.contains(slot))
                take(slot, filterKeyOf(row, 1, *authors, *subjects));
        });
    auto one = SqliteStatement::prepare(u"SELECT " + columns + u" FROM [Book] WHERE [BookId] = ?");
    if (!one)
        return one.error();
    for (size_t slot = 0; slot < among.size(); ++slot) {
        if (!among.contains(static_cast<int>(slot)))
            continue;
        if (DbStatus bound = (*one)->rebind({byTitle.ids[slot]}); !bound)
            return bound;
        if ((*one)->next())
            take(static_cast<int>(slot), filterKeyOf(**one, 0, *authors, *subjects));
        if (!(*one)->status())
            return (*one)->status();
    }
    return {};
}

} // namespace

DbResult<BookSet> BooksMatchingFilter(const TitleOrderedBooks& byTitle, const std::vector<std::string>& words,
                                      const BookSet& among) {
    BookSet matching(byTitle.ids.size());
    const DbStatus read = eachFilterKey(byTitle, among, [&](int slot, const std::string& key) {
        if (MatchesFilter(key, words))
            matching.add(slot);
    });
    if (!read)
        return read.error();
    return matching;
}

DbResult<std::vector<std::string>> ReadFilterKeys(const TitleOrderedBooks& byTitle) {
    BookSet every(byTitle.ids.size());
    for (size_t slot = 0; slot < byTitle.ids.size(); ++slot)
        every.add(static_cast<int>(slot));
    std::vector<std::string> keys(byTitle.ids.size());
    const DbStatus read = eachFilterKey(byTitle, every, [&keys](int slot, std::string key) {
        keys[static_cast<size_t>(slot)] = std::move(key);
    });
    if (!read)
        return read.error();
    return keys;
}

DbResult<std::vector<int>> SortedBooks(const TitleOrderedBooks& byTitle, const BookSet& listed, int column,
                                       Qt::SortOrder order) {
    std::vector<int> slots;
    slots.reserve(static_cast<size_t>(listed.count()));
    for (size_t slot = 0; slot < listed.size(); ++slot) {
        if (listed.contains(static_cast<int>(slot)))
            slots.push_back(static_cast<int>(slot));
    }
    if (column == BookListModel::ColTitle)
        return order == Qt::AscendingOrder ? slots : titlesDescending(byTitle, slots);
    const auto values = sortValues(byTitle, column);
    if (!values)
        return values.error();
    if (auto counted = countingSorted(slots, *values, order))
        return std::move(*counted);
    // Slots run in title order, so the slot itself keeps equal values in title order.
    const auto value = [&values](int slot) {
        return (*values)[static_cast<size_t>(slot)];
    };
    if (order == Qt::AscendingOrder)
        std::sort(slots.begin(), slots.end(),
                  [&value](int a, int b) { return value(a) != value(b) ? value(a) < value(b) : a < b; });
    else
        std::sort(slots.begin(), slots.end(),
                  [&value](int a, int b) { return value(a) != value(b) ? value(a) > value(b) : a < b; });
    return slots;
}

DbResult<std::vector<BookRow>> ReadBookRows(std::span<const int> ids) {
    QStringList numbers;
    numbers.reserve(static_cast<qsizetype>(ids.size()));
    for (const int id : ids)
        numbers << QString::number(id);
    QHash<int, BookRow> read;
    const DbStatus status =
        eachRow(QStringLiteral(
                    "SELECT m.[BookId], m.[Title], a.[Name], g.[Name], l.[Name], m.[Pages], m.[Copyright], "
                    "m.[Stars] FROM [Book] m LEFT JOIN [Author] a ON a.[AuthorId] = m.[AuthorId] "
                    "LEFT JOIN [Subject] g ON g.[SubjectId] = m.[SubjectId] "
                    "LEFT JOIN [Location] l ON l.[LocationId] = m.[LocationId] "
                    "WHERE m.[BookId] IN (SELECT [value] FROM json_each(?))"),
                {QString(u'[' + numbers.join(u',') + u']')}, [&read](const SqliteStatement& row) {
                    BookRow book;
                    book.bookId = row.integer(0);
                    book.title = row.text(1);
                    book.author = row.text(2);
                    book.subject = row.text(3);
                    book.location = row.text(4);
                    book.pages = row.integer(5);
                    book.hasCopyright = !row.isNull(6);
                    book.copyright = row.integer(6);
                    book.hasStars = !row.isNull(7);
                    book.stars = row.real(7);
                    read.insert(book.bookId, book);
                });
    if (!status)
        return status.error();
    std::vector<BookRow> rows;
    rows.reserve(ids.size());
    for (const int id : ids) {
        BookRow row = read.value(id);
        row.bookId = id;
        rows.push_back(std::move(row));
    }
    return rows;
}

DbResult<std::optional<BookSet>> BooksByTitleInitial(const TitleOrderedBooks& byTitle, QChar letter) {
    const auto keyed = NameKeysCurrent(KeyedColumnOf(u"Book"));
    if (!keyed)
        return keyed.error();
    if (!*keyed)
        return std::optional<BookSet>();
    BookSet candidates(byTitle.ids.size());
    for (const QString& fold : foldsReadingAs(letter.toUpper())) {
        const auto range = KeyPrefixRange(fold);
        if (!range)
            continue;
        const DbStatus read =
            eachRow(QStringLiteral("SELECT [BookId] FROM [Book] WHERE [TitleKey] >= ? AND [TitleKey] < ?"),
                    {range->first, range->second}, [&](const SqliteStatement& row) {
                        if (const int slot = byTitle.slots.slotOf(row.integer(0)); slot >= 0)
                            candidates.add(slot);
                    });
        if (!read)
            return read.error();
    }
    return std::optional<BookSet>(std::move(candidates));
}
