#pragma once

#include "main/BookListQuery.h"

#include <QAbstractTableModel>
#include <vector>

// One listed column: its header and its share of the list's width.
struct BookListColumn {
    const char* header;
    double widthShare;
};

// The rows of the main book list, sorted by one column. Rows are kept as loaded; the order is
// a permutation over them, so a re-sort moves no strings.
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
    static const BookListColumn& columnInfo(int column);

    explicit BookListModel(QObject* parent = nullptr);

    // Replaces every row and sorts them by the current sort column; the quick filter stays.
    void setBooks(std::vector<BookRow> books);
    // Lists only the books whose filter key holds every word typed; nothing typed lists all.
    void setFilter(const QString& typed);
    bool isFiltered() const { return !m_filterWords.empty(); }
    void clear() { setBooks({}); }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a row shows in a column (the "Book #" text for column 0).
    QString text(int row, int column) const;
    const BookRow& book(int row) const { return m_books[m_order[row]]; }
    int bookIdAt(int row) const { return book(row).bookId; }
    // The row that lists the book, -1 when the list does not hold it.
    int rowOfBook(int bookId) const;
    // Rewrites what a row shows, in place, without re-sorting or filtering it out.
    void updateRow(int row, const BookRow& shown);

private:
    void applySort();
    void applyFilter();

    std::vector<BookRow> m_books;
    std::vector<std::string> m_filterWords;
    // Rows in title order, ties by book number: what every other order starts from, so that
    // rows that are equal in the sort column stay in title order.
    std::vector<int> m_titleOrder;
    // Every row in the sort order, and the rows the filter lets through in that order: the list.
    std::vector<int> m_sorted;
    std::vector<int> m_order;
    int m_sortColumn = ColTitle;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
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
