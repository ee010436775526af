#include "main/BookListModel.h"

#include "app/Settings.h"
#include "main/BookOrder.h"
#include "main/QuickFilter.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr BookListColumn kColumns[BookListModel::ColumnCount] = {
    {"Book #", 0.0},    {"Title", 0.26}, {"Author", 0.2}, {"Subject", 0.16},
    {"Location", 0.16}, {"Pgs", 0.07},   {"Year", 0.07},  {"Stars", 0.07},
};

QString zeroPadded(int value, int digits) {
    const QString magnitude =
        QString::number(std::abs(static_cast<qint64>(value))).rightJustified(digits, u'0');
    return value < 0 ? u'-' + magnitude : magnitude;
}

// Pages of rows kept at once: a few screens' worth, whatever the list's length.
constexpr int kPagesKept = 32;

} // namespace

QString BookNumberText(int bookId) {
    return zeroPadded(bookId, 5);
}

QString PagesListText(int pages) {
    return zeroPadded(pages, 3);
}

QString StarsListText(double stars) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(stars, 'g', 15);
}

ListSort StoredListSort() {
    ListSort sort;
    const int column = GetNumericSetting(QStringLiteral("SortCol"), BookListModel::ColTitle);
    if (column >= 0 && column < BookListModel::ColumnCount)
        sort.column = column;
    sort.order =
        GetNumericSetting(QStringLiteral("SortOrder"), 0) == 1 ? Qt::DescendingOrder : Qt::AscendingOrder;
    return sort;
}

void StoreListSort(const ListSort& sort) {
    SaveSetting(QStringLiteral("SortCol"), QString::number(sort.column));
    SaveSetting(QStringLiteral("SortOrder"), QString::number(sort.order == Qt::DescendingOrder ? 1 : 0));
}

ListSort ClickedListSort(const ListSort& current, int clickedColumn) {
    if (clickedColumn == current.column)
        return {clickedColumn,
                current.order == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder};
    return {clickedColumn, Qt::AscendingOrder};
}

const BookListColumn& BookListModel::columnInfo(int column) {
    return kColumns[column];
}

struct BookListModel::Lists {
    TitleOrderedBooks byTitle;
    // The books the search found, those the quick filter lets through, and the found books in
    // the list's order.
    BookSet found;
    BookSet filtered;
    std::vector<int> sorted;
    // The list: slots in order.
    std::vector<int> rows;
    // The quick filter's key of every book, by slot, once the filter has read them.
    std::vector<std::string> filterKeys;
};

BookListModel::BookListModel(QObject* parent, int pageRows)
    : QAbstractTableModel(parent)
    , m_lists(std::make_unique<Lists>())
    , m_pageRows(std::max(1, pageRows)) {}

BookListModel::~BookListModel() = default;

void BookListModel::clear() {
    beginResetModel();
    m_pages.clear();
    *m_lists = Lists();
    endResetModel();
}

DbStatus BookListModel::reload(const std::optional<ListQuery>& search, int column, Qt::SortOrder order) {
    beginResetModel();
    if (column >= 0 && column < ColumnCount) {
        m_sortColumn = column;
        m_sortOrder = order;
    }
    m_pages.clear();
    *m_lists = Lists();
    DbStatus status = readLists(search);
    if (status)
        status = applySort();
    else
        *m_lists = Lists();
    endResetModel();
    return status;
}

DbStatus BookListModel::readLists(const std::optional<ListQuery>& search) {
    auto byTitle = ReadTitleOrderedBooks();
    if (!byTitle)
        return byTitle.error();
    m_lists->byTitle = std::move(*byTitle);
    auto found = ListedBooks(m_lists->byTitle);
    if (found && search)
        found = BooksFound(m_lists->byTitle, *found, *search);
    if (!found)
        return found.error();
    m_lists->found = std::move(*found);
    m_lists->filtered = m_lists->found;
    if (m_filterWords.empty())
        return {};
    auto filtered = booksMatching(m_filterWords, m_lists->found);
    if (!filtered)
        return filtered.error();
    m_lists->filtered = std::move(*filtered);
    return {};
}

int BookListModel::foundCount() const {
    return m_lists->found.count();
}

DbStatus BookListModel::applySort() {
    auto sorted = SortedBooks(m_lists->byTitle, m_lists->found, m_sortColumn, m_sortOrder);
    if (!sorted) {
        m_lists->sorted.clear();
        m_lists->rows.clear();
        return sorted.error();
    }
    m_lists->sorted = std::move(*sorted);
    applyFilter();
    return {};
}

void BookListModel::applyFilter() {
    std::vector<int>& rows = m_lists->rows;
    if (m_filterWords.empty()) {
        rows = m_lists->sorted;
        return;
    }
    rows.clear();
    rows.reserve(static_cast<size_t>(m_lists->filtered.count()));
    for (const int slot : m_lists->sorted) {
        if (m_lists->filtered.contains(slot))
            rows.push_back(slot);
    }
}

DbStatus BookListModel::setFilter(const QString& typed) {
    std::vector<std::string> words = FilterWords(typed);
    if (words == m_filterWords)
        return {};
    // Words that only lengthen the words before keep a subset of the books: read only those.
    const bool narrowing =
        !m_filterWords.empty() &&
        std::all_of(m_filterWords.begin(), m_filterWords.end(), [&words](const std::string& before) {
            return std::any_of(words.begin(), words.end(), [&before](const std::string& now) {
                return now.find(before) != std::string::npos;
            });
        });
    BookSet filtered = m_lists->found;
    if (!words.empty()) {
        auto matching =
            BooksMatchingFilter(m_lists->byTitle, words, narrowing ? m_lists->filtered : m_lists->found);
        if (!matching)
            return matching.error();
        filtered = std::move(*matching);
    }
    beginResetModel();
    m_pages.clear();
    m_filterWords = std::move(words);
    m_lists->filtered = std::move(filtered);
    applyFilter();
    endResetModel();
    return {};
}

DbResult<BookSet> BookListModel::booksMatching(const std::vector<std::string>& words, const BookSet& among) {
    if (m_lists->byTitle.ids.size() > static_cast<size_t>(kBooksFilteredInMemory))
        return BooksMatchingFilter(m_lists->byTitle, words, among);
    if (m_lists->filterKeys.size() != m_lists->byTitle.ids.size()) {
        auto keys = ReadFilterKeys(m_lists->byTitle);
        if (!keys)
            return keys.error();
        m_lists->filterKeys = std::move(*keys);
    }
    BookSet matching(among.size());
    for (size_t slot = 0; slot < among.size(); ++slot) {
        if (among.contains(static_cast<int>(slot)) && MatchesFilter(m_lists->filterKeys[slot], words))
            matching.add(static_cast<int>(slot));
    }
    return matching;
}

DbStatus BookListModel::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return {};
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> slotsBefore;
    slotsBefore.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        slotsBefore.push_back(m_lists->rows[static_cast<size_t>(index.row())]);
    m_sortColumn = column;
    m_sortOrder = order;
    m_pages.clear();
    const DbStatus status = applySort();
    std::vector<int> rowOfSlot(m_lists->byTitle.ids.size(), -1);
    for (size_t row = 0; row < m_lists->rows.size(); ++row)
        rowOfSlot[static_cast<size_t>(m_lists->rows[row])] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = rowOfSlot[static_cast<size_t>(slotsBefore[static_cast<size_t>(i)])];
        after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return status;
}

void BookListModel::sort(int column, Qt::SortOrder order) {
    // A view asking for a sort has no way to hear of a failure: the list then stays empty.
    static_cast<void>(sortBy(column, order));
}

int BookListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_lists->rows.size());
}

int BookListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case BookIdRole:
        return bookIdAt(index.row());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kColumns[section].header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

const BookRow& BookListModel::cachedRow(int row) const {
    const int page = row / m_pageRows;
    auto found = m_pages.constFind(page);
    if (found == m_pages.cend()) {
        if (m_pages.size() >= kPagesKept)
            m_pages.clear();
        const size_t first = static_cast<size_t>(page) * static_cast<size_t>(m_pageRows);
        const size_t last = std::min(first + static_cast<size_t>(m_pageRows), m_lists->rows.size());
        std::vector<int> ids;
        ids.reserve(last - first);
        for (size_t at = first; at < last; ++at)
            ids.push_back(m_lists->byTitle.ids[static_cast<size_t>(m_lists->rows[at])]);
        auto read = ReadBookRows(ids);
        std::vector<BookRow> rows;
        if (read) {
            rows = std::move(*read);
        } else {
            // A page that cannot be read shows its book numbers only; it is read again later.
            for (const int id : ids)
                rows.emplace_back().bookId = id;
            qWarning("The book list could not read its rows: %s", qPrintable(read.error().messageText()));
        }
        found = m_pages.insert(page, std::move(rows));
    }
    return (*found)[static_cast<size_t>(row - page * m_pageRows)];
}

BookRow BookListModel::book(int row) const {
    return cachedRow(row);
}

int BookListModel::bookIdAt(int row) const {
    return m_lists->byTitle.ids[static_cast<size_t>(m_lists->rows[static_cast<size_t>(row)])];
}

QString BookListModel::text(int row, int column) const {
    const BookRow& shown = cachedRow(row);
    switch (column) {
    case ColBookNumber:
        return BookNumberText(shown.bookId);
    case ColTitle:
        return shown.title;
    case ColAuthor:
        return shown.author;
    case ColSubject:
        return shown.subject;
    case ColLocation:
        return shown.location;
    case ColPages:
        return PagesListText(shown.pages);
    case ColYear:
        return shown.hasCopyright ? QString::number(shown.copyright) : QString();
    case ColStars:
        return shown.hasStars ? StarsListText(shown.stars) : QString();
    default:
        return {};
    }
}

int BookListModel::rowOfBook(int bookId) const {
    const int slot = m_lists->byTitle.slots.slotOf(bookId);
    if (slot < 0)
        return -1;
    const auto found = std::find(m_lists->rows.begin(), m_lists->rows.end(), slot);
    return found == m_lists->rows.end() ? -1 : static_cast<int>(found - m_lists->rows.begin());
}

void BookListModel::refreshRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    m_pages.remove(row / m_pageRows);
    // The book's texts may have changed: the filter reads them again when next asked.
    m_lists->filterKeys.clear();
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

DbResult<int> BookListModel::rowOfTitleInitial(QChar letter) const {
    const QChar wanted = letter.toUpper();
    const auto startsRight = [&](int row) {
        const QString title = cachedRow(row).title;
        return !title.isEmpty() && title.front().toUpper() == wanted;
    };
    const auto candidates = BooksByTitleInitial(m_lists->byTitle, letter);
    if (!candidates)
        return candidates.error();
    const std::vector<int>& rows = m_lists->rows;
    for (size_t row = 0; row < rows.size(); ++row) {
        // Without keys every title is read, a page at a time.
        if (*candidates && !(*candidates)->contains(rows[row]))
            continue;
        if (startsRight(static_cast<int>(row)))
            return static_cast<int>(row);
    }
    return -1;
}
