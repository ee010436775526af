#pragma once

#include "db/RecordHelpers.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// What kind of file a header row says a file is.
enum class ForeignKind { Unknown, Goodreads, LibraryThing, Exchange };

// The kind as the import window names it.
QString ForeignKindName(ForeignKind kind);

// Where a book goes: "(none)" unless the other program keeps it on a wish list.
inline const QString kNoneName = QStringLiteral("(none)");
inline const QString kWishListName = QStringLiteral("Wish list");

// One book of another program's file as it will be stored; lookups by name.
struct ImportedBook {
    QString title;
    QString author;
    QString isbn;
    double stars = 0.0;
    QString publisher;
    int pages = 0;
    int copyright = 0;
    QDate acquired = kNullDate;
    QString format = kNoneName;
    QString location = kNoneName;
    QString notes;

    friend bool operator==(const ImportedBook&, const ImportedBook&) = default;
};

// A row read into a book, or the reason it cannot be one.
struct MappedRow {
    std::optional<ImportedBook> book;
    QString refusal;
};

// The Format list's name for a binding or medium: a name already in the list (letter case
// aside), else the standard name for paperbacks, e-books and audio books, else the binding
// itself (which the import adds to the list). No binding is "(none)".
QString FormatForBinding(const QString& binding, const QStringList& knownFormats);

// The columns of a file, found by name in its header row (letter case and blanks aside), and the
// rules that turn one of its rows into a book.
class ForeignColumns {
public:
    explicit ForeignColumns(const QStringList& header);

    ForeignKind kind() const { return m_kind; }
    // The row as it will be stored. knownFormats are the names of the catalogue's Format list.
    MappedRow map(const QStringList& row, const QStringList& knownFormats) const;

private:
    QString value(const QStringList& row, const QString& column) const;
    QString firstValue(const QStringList& row, const QStringList& columns) const;
    MappedRow mapGoodreads(const QStringList& row, const QStringList& knownFormats) const;
    MappedRow mapLibraryThing(const QStringList& row, const QStringList& knownFormats) const;

    QHash<QString, qsizetype> m_columns;
    ForeignKind m_kind = ForeignKind::Unknown;
};
