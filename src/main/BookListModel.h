#pragma once

#include "main/BookListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One listed column: its header and its share of the list's width.
struct BookListColumn {
    const char* header;
    double widthShare;
};

// The rows of the main book list. It holds the slots of its books in the list's order and reads
// what a row shows when the row is shown, a page of rows at a time; a million books cost a few
// megabytes. The texts of a row are those of the catalogue when the row was read.
class BookSet;

class BookListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColBookNumber,
        ColTitle,
        ColAuthor,
        ColSubject,
        ColLocation,
        ColPages,
        ColYear,
        ColStars,
        ColumnCount
    };
    // The book number of a row, as an int.
    static constexpr int BookIdRole = Qt::UserRole + 1;
    static constexpr int kPageRows = 128;
    // Up to this many books the quick filter keeps every book's folded texts (about a hundred
    // bytes a book) and filters without reading the catalogue; past it, each filter reads it once.
    static constexpr int kBooksFilteredInMemory = 200000;
    static const BookListColumn& columnInfo(int column);

    explicit BookListModel(QObject* parent = nullptr, int pageRows = kPageRows);
    ~BookListModel() override;

    // Reads the catalogue again: the books the search finds (every book without one), sorted by
    // the given column; the quick filter stays.
    DbStatus reload(const std::optional<ListQuery>& search, int column, Qt::SortOrder order);
    // How many books the search found, before the quick filter.
    int foundCount() const;
    // Lists only the books whose texts hold every word typed; nothing typed lists all found.
    DbStatus setFilter(const QString& typed);
    bool isFiltered() const { return !m_filterWords.empty(); }
    void clear();
    DbStatus sortBy(int column, Qt::SortOrder order);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a row shows in a column (the "Book #" text for column 0).
    QString text(int row, int column) const;
    BookRow book(int row) const;
    int bookIdAt(int row) const;
    // The row that lists the book, -1 when the list does not hold it.
    int rowOfBook(int bookId) const;
    // Reads what a row shows again, in place, without re-sorting or filtering it out.
    void refreshRow(int row);
    // The first row, in the list's order, whose title begins with a character that reads as
    // `letter` in upper case; -1 when none does.
    DbResult<int> rowOfTitleInitial(QChar letter) const;

private:
    DbStatus readLists(const std::optional<ListQuery>& search);
    DbStatus applySort();
    void applyFilter();
    DbResult<BookSet> booksMatching(const std::vector<std::string>& words, const BookSet& among);
    const BookRow& cachedRow(int row) const;

    struct Lists;
    std::unique_ptr<Lists> m_lists;
    std::vector<std::string> m_filterWords;
    int m_sortColumn = ColTitle;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_pageRows;
    // Pages of rows read lately, by page number; dropped whole when too many are kept.
    mutable QHash<int, std::vector<BookRow>> m_pages;
};

// The column and direction the list is sorted by, as remembered in "SortCol" and "SortOrder".
struct ListSort {
    int column = BookListModel::ColTitle;
    Qt::SortOrder order = Qt::AscendingOrder;
};
// The remembered sort. A column outside the list reads as the title column; any direction but
// 1 (descending) reads as ascending.
ListSort StoredListSort();
void StoreListSort(const ListSort& sort);
// A click on a column header: the same column again flips the direction, another column sorts
// ascending by it.
ListSort ClickedListSort(const ListSort& current, int clickedColumn);

// "00012": the book number as the hidden first column shows it.
QString BookNumberText(int bookId);
// Pages as the list shows them: at least three digits ("005").
QString PagesListText(int pages);
// Stars as plain number text in the user's locale: "3.5", "4".
QString StarsListText(double stars);
