#include "main/BookListModel.h"

#include "app/Settings.h"
#include "db/ReadingOrder.h"
#include "main/QuickFilter.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string_view>

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

const QString BookRow::*textField(int column) {
    switch (column) {
    case BookListModel::ColTitle:
        return &BookRow::title;
    case BookListModel::ColAuthor:
        return &BookRow::author;
    case BookListModel::ColSubject:
        return &BookRow::subject;
    case BookListModel::ColLocation:
        return &BookRow::location;
    default:
        return nullptr;
    }
}

// One text column as sort keys of the user's alphabetical order, every row's key side by side in
// one buffer: keys compare byte by byte, far faster than the texts themselves. The rows of one
// author, subject or location hold one shared copy of its name, so a key is worked out once per
// copy: found by the copy's address, cheaper than hashing each text.
class SortKeyColumn {
public:
    SortKeyColumn(const std::vector<BookRow>& books, const QString BookRow::*field) {
        const ReadingOrder& order = ReadingOrder::forUser();
        QHash<const QChar*, Span> known;
        m_spans.reserve(books.size());
        m_keys.reserve(static_cast<qsizetype>(books.size()) * 32);
        for (const BookRow& book : books) {
            const QString& text = book.*field;
            auto found = known.constFind(text.constData());
            if (found == known.cend()) {
                const qsizetype start = m_keys.size();
                order.appendSortKey(text, m_keys);
                found = known.insert(text.constData(), {start, m_keys.size() - start});
            }
            m_spans.push_back(*found);
        }
    }
    std::string_view operator[](int row) const {
        const Span& span = m_spans[static_cast<size_t>(row)];
        return {m_keys.constData() + span.start, static_cast<size_t>(span.length)};
    }

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QByteArray m_keys;
    std::vector<Span> m_spans;
};

// Orders rows by one text column. Rows whose texts are equal keep their order in `order`.
void sortByText(std::vector<int>& order, const SortKeyColumn& texts, Qt::SortOrder direction) {
    std::vector<std::pair<std::string_view, int>> keyed;
    keyed.reserve(order.size());
    for (size_t position = 0; position < order.size(); ++position)
        keyed.emplace_back(texts[order[position]], static_cast<int>(position));
    const int sign = direction == Qt::AscendingOrder ? 1 : -1;
    std::sort(keyed.begin(), keyed.end(), [sign](const auto& left, const auto& right) {
        const int byText = left.first.compare(right.first) * sign;
        return byText != 0 ? byText < 0 : left.second < right.second;
    });
    std::vector<int> sorted;
    sorted.reserve(order.size());
    for (const auto& entry : keyed)
        sorted.push_back(order[static_cast<size_t>(entry.second)]);
    order = std::move(sorted);
}

// Numbers compare by value, so that "1000" pages follow "999" and book 100000 follows 99999;
// a missing value comes first.
bool numberLess(const BookRow& left, const BookRow& right, int column) {
    switch (column) {
    case BookListModel::ColBookNumber:
        return left.bookId < right.bookId;
    case BookListModel::ColPages:
        return left.pages < right.pages;
    case BookListModel::ColYear:
        return std::pair(left.hasCopyright, left.copyright) < std::pair(right.hasCopyright, right.copyright);
    case BookListModel::ColStars:
        return std::pair(left.hasStars, left.stars) < std::pair(right.hasStars, right.stars);
    default:
        return false;
    }
}

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

BookListModel::BookListModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void BookListModel::setBooks(std::vector<BookRow> books) {
    beginResetModel();
    m_books = std::move(books);
    // In book number order first, so that books of the same title stay in that order.
    m_titleOrder.resize(m_books.size());
    std::iota(m_titleOrder.begin(), m_titleOrder.end(), 0);
    std::sort(m_titleOrder.begin(), m_titleOrder.end(),
              [this](int left, int right) { return m_books[left].bookId < m_books[right].bookId; });
    sortByText(m_titleOrder, SortKeyColumn(m_books, &BookRow::title), Qt::AscendingOrder);
    applySort();
    endResetModel();
}

void BookListModel::applySort() {
    m_sorted = m_titleOrder;
    const int column = m_sortColumn;
    if (column == ColTitle && m_sortOrder == Qt::AscendingOrder) {
        applyFilter();
        return;
    }
    if (const QString BookRow::*field = textField(column)) {
        sortByText(m_sorted, SortKeyColumn(m_books, field), m_sortOrder);
        applyFilter();
        return;
    }
    const auto less = [this, column](int left, int right) {
        return numberLess(m_books[left], m_books[right], column);
    };
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(m_sorted.begin(), m_sorted.end(), less);
    else
        std::stable_sort(m_sorted.begin(), m_sorted.end(),
                         [&less](int left, int right) { return less(right, left); });
    applyFilter();
}

void BookListModel::applyFilter() {
    if (m_filterWords.empty()) {
        m_order = m_sorted;
        return;
    }
    m_order.clear();
    for (const int row : m_sorted) {
        if (MatchesFilter(m_books[row].filterKey, m_filterWords))
            m_order.push_back(row);
    }
}

void BookListModel::setFilter(const QString& typed) {
    std::vector<std::string> words = FilterWords(typed);
    if (words == m_filterWords)
        return;
    beginResetModel();
    m_filterWords = std::move(words);
    applyFilter();
    endResetModel();
}

void BookListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    const std::vector<int> oldOrder = m_order;
    m_sortColumn = column;
    m_sortOrder = order;
    applySort();
    std::vector<int> newRowOfBook(m_books.size(), -1);
    for (size_t row = 0; row < m_order.size(); ++row)
        newRowOfBook[m_order[row]] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(newRowOfBook[oldOrder[index.row()]], index.column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int BookListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
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

QString BookListModel::text(int row, int column) const {
    const BookRow& shown = book(row);
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
    for (size_t row = 0; row < m_order.size(); ++row) {
        if (m_books[m_order[row]].bookId == bookId)
            return static_cast<int>(row);
    }
    return -1;
}

void BookListModel::updateRow(int row, const BookRow& shown) {
    if (row < 0 || row >= rowCount())
        return;
    m_books[m_order[row]] = shown;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
