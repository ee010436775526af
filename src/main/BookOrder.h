#pragma once

#include "db/DbResult.h"
#include "main/BookListQuery.h"

#include <QChar>
#include <Qt>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

// The book list holds only the numbers of its books, in order: a few bytes a book, so that a
// million books list at once. What a row shows is read when the row is shown. This file holds
// the catalogue reads behind that: the books in title order through the title key's index, the
// books a search or the quick filter finds, the other sort orders and the rows themselves.

// The books of one reading of the catalogue numbered 0, 1, 2... in title order: their slots.
// Book numbers are whatever the file holds (another tool may write any), so they are mapped, not
// used as places in an array, unless they lie close together.
class BookSlots {
public:
    BookSlots() = default;
    explicit BookSlots(const std::vector<int>& bookIds);
    // The slot of a book, -1 when the reading did not hold it.
    int slotOf(int bookId) const {
        if (m_direct.empty())
            return sparseSlotOf(bookId);
        const qint64 place = static_cast<qint64>(bookId) - m_lowest;
        return place >= 0 && place < static_cast<qint64>(m_direct.size())
                   ? m_direct[static_cast<size_t>(place)]
                   : -1;
    }

private:
    int sparseSlotOf(int bookId) const;

    int m_lowest = 0;
    std::vector<int> m_direct;
    std::unordered_map<int, int> m_sparse;
};

// A set of the books of one reading, by slot.
class BookSet {
public:
    explicit BookSet(size_t books = 0)
        : m_bits(books, false) {}
    void add(int slot) {
        if (!m_bits[static_cast<size_t>(slot)]) {
            m_bits[static_cast<size_t>(slot)] = true;
            ++m_count;
        }
    }
    void remove(int slot) {
        if (m_bits[static_cast<size_t>(slot)]) {
            m_bits[static_cast<size_t>(slot)] = false;
            --m_count;
        }
    }
    bool contains(int slot) const { return m_bits[static_cast<size_t>(slot)]; }
    int count() const { return m_count; }
    size_t size() const { return m_bits.size(); }

private:
    std::vector<bool> m_bits;
    int m_count = 0;
};

// Every book of the catalogue in the user's alphabetical order of titles, equal titles by number.
struct TitleOrderedBooks {
    // By slot: the book's number, and the place of its title among the distinct titles.
    std::vector<int> ids;
    std::vector<int> titleRank;
    BookSlots slots;
};
// Reads the order through the title key's index, keying stale titles first. A catalogue whose keys
// cannot be brought up to date (it may only be read) is sorted by its titles instead.
DbResult<TitleOrderedBooks> ReadTitleOrderedBooks();

// Every book a list may show: all but those whose subject or location names no row.
DbResult<BookSet> ListedBooks(const TitleOrderedBooks& byTitle);
// The books of `listed` that a statement selecting book numbers finds.
DbResult<BookSet> BooksFound(const TitleOrderedBooks& byTitle, const BookSet& listed,
                             const ListQuery& idsQuery);
// The books among `among` whose title, author, subject, publisher, label number or notes hold every
// word. Few books are read one by one; many by reading the catalogue once.
DbResult<BookSet> BooksMatchingFilter(const TitleOrderedBooks& byTitle, const std::vector<std::string>& words,
                                      const BookSet& among);

// The filter key of every book, by slot: kept while the list is short enough, so that each
// keystroke in the filter reads nothing.
DbResult<std::vector<std::string>> ReadFilterKeys(const TitleOrderedBooks& byTitle);

// The slots of the books of `listed` in the order of one list column, equal values in title order.
DbResult<std::vector<int>> SortedBooks(const TitleOrderedBooks& byTitle, const BookSet& listed, int column,
                                       Qt::SortOrder order);

// What the rows of the given books show, in the same order. A book the catalogue no longer holds
// reads as its number alone.
DbResult<std::vector<BookRow>> ReadBookRows(std::span<const int> ids);

// The books whose title may begin with a character that reads as `letter` in upper case: every
// such book, and maybe a few more (the caller checks the title). None when the title keys are not
// all in place; the caller then reads the titles in order.
DbResult<std::optional<BookSet>> BooksByTitleInitial(const TitleOrderedBooks& byTitle, QChar letter);
