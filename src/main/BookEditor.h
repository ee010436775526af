#pragma once

#include "app/Prompts.h"
#include "db/DbResult.h"
#include "db/RecordHelpers.h"

#include <QLocale>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The four lookup lists the editor offers in combo boxes, in the order a save asks about names
// that do not exist.
enum class LookupKind { Subject, Rating, Format, Location };
inline constexpr LookupKind kLookupKinds[] = {LookupKind::Subject, LookupKind::Rating, LookupKind::Format,
                                              LookupKind::Location};

QString LookupTable(LookupKind kind);
QString LookupIdColumn(LookupKind kind);
// The book's identifier for that list.
int& LookupIdOf(BookFields& book, LookupKind kind);

struct LookupEntry {
    int id = 0;
    QString name;

    friend bool operator==(const LookupEntry&, const LookupEntry&) = default;
};
// Every row of a lookup list, in name order.
DbResult<std::vector<LookupEntry>> ReadLookupList(LookupKind kind);
// The name of the row with that identifier; empty when the list has none.
QString LookupNameOf(const std::vector<LookupEntry>& list, int id);
// The identifier of the row of that name (letter case ignored), -1 when there is none.
DbResult<int> FindLookupId(LookupKind kind, const QString& name);

// A book as the editor shows it.
struct ShownBook {
    int bookId = 0;
    BookFields fields;
    QString author;
    QStringList awards;
};
// The book with its author's name and its award names; nothing when it no longer exists.
DbResult<std::optional<ShownBook>> ReadShownBook(int bookId);

// The editor's fields as typed, before they are read back into values.
struct EditorTexts {
    QString bookId;
    QString title;
    QString author;
    QString stars;
    QString pages;
    QString copyright;
    QString publisher;
    QString labelNumber;
    QString acquireDate;
    QString cost;
    QString lentTo;
    QString lentDate;
    QString notes;
    QString isbn;
    QStringList awards;
    // A cover picked since the book was shown (empty: removed); nothing when unchanged.
    std::optional<QByteArray> cover;
    // Indexed by LookupKind.
    QString lookups[4];

    QString& lookup(LookupKind kind) { return lookups[static_cast<int>(kind)]; }
    const QString& lookup(LookupKind kind) const { return lookups[static_cast<int>(kind)]; }
};
// The texts the editor shows for a book whose lookup names are already known.
EditorTexts TextsOfBook(const ShownBook& book, const QLocale& locale = QLocale());
// The values the texts stand for; the author and the four lookups are left at 0, and an ISBN
// that is not one is left empty (CheckTypedIsbn refuses it before a save).
BookFields FieldsOfTexts(const EditorTexts& texts, const QLocale& locale = QLocale());

// What a typed ISBN means for saving the book.
struct IsbnCheck {
    enum class Verdict {
        Fine,
        // Not an ISBN, or its check digit is wrong: the book is not saved.
        Wrong,
        // Another book has it too; the user decides (two copies are real).
        Shared,
    };
    Verdict verdict = Verdict::Fine;
    QString isbn;
    BookRef other;
};
// Only a changed ISBN is compared with the other books, so a known second copy warns once.
DbResult<IsbnCheck> CheckTypedIsbn(int bookId, const QString& typed);
QString WrongIsbnText(const QString& typed);
QString SharedIsbnText(const IsbnCheck& check);

enum class SaveOutcome {
    Saved,
    // The user chose to stay on the book and keep editing ("No").
    Kept,
    // The user dropped the remaining changes ("Cancel").
    Discarded,
    Failed,
    // Another program changed the stored book after it was shown; nothing was written.
    Changed,
};
struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Saved;
    BookFields fields;
    DbError error;
    // The list whose question was answered No.
    LookupKind keptFor = LookupKind::Subject;
};
// Asks whether to add a lookup name that does not exist: title and text of the question.
using LookupQuestion = std::function<PromptAnswer(const QString& title, const QString& text)>;
QString LookupQuestionTitle(LookupKind kind);
QString LookupQuestionText(LookupKind kind, const QString& name);

// Writes the edited book: finds or adds its author, rewrites its award links (award names
// without a row are dropped), then looks up the four lists, asking before it adds a name, and
// rewrites the book row. The author and the award links stay written whatever is answered.
// With shownAs (the row as it was when the editor read it), a stored row that differs from it
// was changed (or deleted) by another program: nothing is written and the outcome is Changed.
// Without it the stored row is overwritten, and put back under its number when it is gone.
SaveResult SaveEditedBook(const EditorTexts& texts, const LookupQuestion& ask,
                          const BookFields* shownAs = nullptr, const QLocale& locale = QLocale());

// False for a date box's text that reads as no date although it is not empty ("31.12.2024").
bool IsReadableDate(const QString& text);
// What the user is told about such a text in the date box of that label ("Acquired").
QString UnreadableDateText(const QString& label, const QString& text);

// The title every new book starts with.
QString NewBookTitle();
// A new book's values: today as the acquired date, each lookup the first of its list by name
// (0 for an empty list), everything else empty.
DbResult<BookFields> NewBookFields(const QDate& today);
struct NewBook {
    int bookId = -1;
    // No book was added: a "New Book" the user has worked on holds the title; bookId is that book.
    bool titleTaken = false;
};
// Makes room for and adds a new book. Earlier "New Book" rows that are still untouched
// placeholders are removed first, whatever day they were made; one the user has worked on stays,
// since two books may not share a title.
DbResult<NewBook> AddNewBook(const QDate& today = QDate::currentDate());

// The book's title, empty when there is no such book.
DbResult<QString> BookTitle(int bookId);
// Removes the book and its award links.
DbStatus DeleteBookRows(int bookId);
