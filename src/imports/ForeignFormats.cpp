#include "imports/ForeignFormats.h"

#include "db/Schema.h"
#include "exchange/ExchangeFormat.h"
#include "online/Isbn.h"

#include <QRegularExpression>
#include <array>

namespace {

QString columnKey(const QString& name) {
    return name.trimmed().toCaseFolded();
}

bool hasColumns(const QHash<QString, qsizetype>& columns, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (!columns.contains(columnKey(QString::fromLatin1(name))))
            return false;
    }
    return true;
}

bool isExchangeHeader(const QStringList& header) {
    return IsExchangeHeader(u'"' + header.join(QStringLiteral("\",\"")) + u'"');
}

// Goodreads writes ISBNs as spreadsheet formulas, ="0141439513", so that no spreadsheet drops the
// leading zero.
QString unwrapFormula(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QStringLiteral("=\"")) && trimmed.endsWith(u'"') && trimmed.size() >= 3)
        return trimmed.mid(2, trimmed.size() - 3);
    return trimmed;
}

// The first of the texts that is an ISBN, as the 13 digits stored; empty when none is.
QString firstIsbn(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        const QString isbn = NormaliseIsbn(unwrapFormula(candidate));
        if (!isbn.isEmpty())
            return isbn;
    }
    return {};
}

// A whole number of pages or a year; anything else counts as not given.
int wholeNumber(const QString& text) {
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return ok && number > 0 ? number : 0;
}

QString quotedValue(const QString& column, const QString& value) {
    return QStringLiteral("\"%1\" holds %2").arg(column, value.trimmed());
}

// Stars from a rating of 0 to 5 (halves allowed); an empty rating is no rating.
std::optional<double> readRating(const QString& text, QString& refusal, const QString& column) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0.0;
    bool ok = false;
    const double stars = trimmed.toDouble(&ok);
    if (!ok || stars < 0.0 || stars > 5.0) {
        refusal = quotedValue(column, trimmed) + QStringLiteral(", which is not a rating from 0 to 5.");
        return std::nullopt;
    }
    return stars;
}

// A date written year first, YYYY/MM/DD or YYYY-MM-DD; an empty text is no date.
std::optional<QDate> readDate(const QString& text, QString& refusal, const QString& column) {
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{4})[/-](\d{1,2})[/-](\d{1,2})$)"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return kNullDate;
    const QRegularExpressionMatch match = pattern.match(trimmed);
    const QDate date = match.hasMatch() ? QDate(match.captured(1).toInt(), match.captured(2).toInt(),
                                                match.captured(3).toInt())
                                        : QDate();
    if (!date.isValid()) {
        refusal = quotedValue(column, trimmed) + QStringLiteral(", which is not a date (year/month/day).");
        return std::nullopt;
    }
    return date;
}

// Notes: the texts whole, each with its line breaks, then the labelled lines of what has no
// column of its own.
QString joinNotes(const QStringList& texts, const QList<std::pair<QString, QString>>& labelled) {
    QStringList parts;
    for (const QString& text : texts) {
        if (!text.trimmed().isEmpty())
            parts << text;
    }
    for (const auto& [label, value] : labelled) {
        if (!value.trimmed().isEmpty())
            parts << label + QStringLiteral(": ") + value.trimmed();
    }
    return parts.join(u'\n');
}

bool containsAnyOf(const QString& text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// LibraryThing writes authors surname first ("Austen, Jane"); the catalogue keeps them as read.
QString forenameFirst(const QString& name) {
    const QStringList parts = name.split(u',');
    if (parts.size() != 2 || parts[0].trimmed().isEmpty() || parts[1].trimmed().isEmpty())
        return name.trimmed();
    return parts[1].trimmed() + u' ' + parts[0].trimmed();
}

// LibraryThing's Publication: "Penguin Classics (2003), Edition: Reprint, Paperback, 480 pages".
QString publisherOfPublication(const QString& publication) {
    QString publisher = publication.trimmed();
    for (const QChar end : {u'(', u','}) {
        const qsizetype at = publisher.indexOf(end);
        if (at > 0)
            publisher = publisher.left(at).trimmed();
    }
    return publisher;
}

// LibraryThing's Media names the most general kind first ("Book, Paper Book, Paperback"); the
// most particular part is the binding, and "Book" or "Paper Book" alone says nothing.
QString bindingOfMedia(const QString& media) {
    static const QRegularExpression separators(QStringLiteral("[,>]"));
    const QStringList parts = media.split(separators, Qt::SkipEmptyParts);
    const QString binding = parts.isEmpty() ? QString() : parts.constLast().trimmed();
    for (const QLatin1String general : {QLatin1String("Book"), QLatin1String("Paper Book")}) {
        if (binding.compare(general, Qt::CaseInsensitive) == 0)
            return {};
    }
    return binding;
}

bool namesWishList(const QString& collections) {
    for (const QString& collection : collections.split(u',')) {
        const QString name = collection.trimmed();
        if (name.compare(QStringLiteral("Wishlist"), Qt::CaseInsensitive) == 0 ||
            name.compare(kWishListName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void cutToColumns(ImportedBook& book) {
    book.title = CutToLength(book.title, kTitleLength);
    book.author = CutToLength(book.author, kLookupNameLength);
    book.publisher = CutToLength(book.publisher, kPublisherLength);
    book.format = CutToLength(book.format, kLookupNameLength);
}

MappedRow refused(const QString& reason) {
    return {std::nullopt, reason};
}

} // namespace

QString ForeignKindName(ForeignKind kind) {
    switch (kind) {
    case ForeignKind::Goodreads:
        return QStringLiteral("Goodreads library export");
    case ForeignKind::LibraryThing:
        return QStringLiteral("LibraryThing export");
    case ForeignKind::Exchange:
        return QStringLiteral("Tomekeep exchange file");
    case ForeignKind::Unknown:
        break;
    }
    return QStringLiteral("not a file Tomekeep can import");
}

QString FormatForBinding(const QString& binding, const QStringList& knownFormats) {
    const QString trimmed = binding.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QStringLiteral("Unknown Binding"), Qt::CaseInsensitive) == 0)
        return kNoneName;
    for (const QString& known : knownFormats) {
        if (known.compare(trimmed, Qt::CaseInsensitive) == 0)
            return known;
    }
    if (containsAnyOf(trimmed, {"kindle", "ebook", "e-book", "nook", "digital", "epub"}))
        return QStringLiteral("eBook");
    if (containsAnyOf(trimmed, {"audio", "audible", "mp3"}))
        return QStringLiteral("Audio CD");
    if (containsAnyOf(trimmed, {"paperback"}))
        return QStringLiteral("Paperback");
    return trimmed;
}

ForeignColumns::ForeignColumns(const QStringList& header) {
    for (qsizetype i = 0; i < header.size(); ++i)
        m_columns.insert(columnKey(header[i]), i);
    if (hasColumns(m_columns, {"Book Id", "Title", "Author", "Exclusive Shelf"}))
        m_kind = ForeignKind::Goodreads;
    else if (hasColumns(m_columns, {"Title", "Primary Author"}))
        m_kind = ForeignKind::LibraryThing;
    else if (isExchangeHeader(header))
        m_kind = ForeignKind::Exchange;
}

QString ForeignColumns::value(const QStringList& row, const QString& column) const {
    const qsizetype at = m_columns.value(columnKey(column), -1);
    return at >= 0 && at < row.size() ? row[at] : QString();
}

QString ForeignColumns::firstValue(const QStringList& row, const QStringList& columns) const {
    for (const QString& column : columns) {
        const QString found = value(row, column);
        if (!found.trimmed().isEmpty())
            return found;
    }
    return {};
}

MappedRow ForeignColumns::map(const QStringList& row, const QStringList& knownFormats) const {
    MappedRow mapped;
    switch (m_kind) {
    case ForeignKind::Goodreads:
        mapped = mapGoodreads(row, knownFormats);
        break;
    case ForeignKind::LibraryThing:
        mapped = mapLibraryThing(row, knownFormats);
        break;
    case ForeignKind::Exchange:
    case ForeignKind::Unknown:
        return refused(QStringLiteral("The file is not a Goodreads or LibraryThing export."));
    }
    if (mapped.book && mapped.book->title.trimmed().isEmpty())
        return refused(QStringLiteral("The book has no title."));
    if (mapped.book)
        cutToColumns(*mapped.book);
    return mapped;
}

MappedRow ForeignColumns::mapGoodreads(const QStringList& row, const QStringList& knownFormats) const {
    QString refusal;
    const auto stars =
        readRating(value(row, QStringLiteral("My Rating")), refusal, QStringLiteral("My Rating"));
    if (!stars)
        return refused(refusal);
    const auto added =
        readDate(value(row, QStringLiteral("Date Added")), refusal, QStringLiteral("Date Added"));
    if (!added)
        return refused(refusal);
    ImportedBook book;
    book.title = value(row, QStringLiteral("Title")).trimmed();
    book.author = value(row, QStringLiteral("Author")).trimmed();
    book.isbn = firstIsbn({value(row, QStringLiteral("ISBN13")), value(row, QStringLiteral("ISBN"))});
    book.stars = *stars;
    book.publisher = value(row, QStringLiteral("Publisher")).trimmed();
    book.pages = wholeNumber(value(row, QStringLiteral("Number of Pages")));
    book.copyright = wholeNumber(value(row, QStringLiteral("Year Published")));
    if (book.copyright == 0)
        book.copyright = wholeNumber(value(row, QStringLiteral("Original Publication Year")));
    book.acquired = *added;
    book.format = FormatForBinding(value(row, QStringLiteral("Binding")), knownFormats);
    if (value(row, QStringLiteral("Exclusive Shelf"))
            .trimmed()
            .compare(QStringLiteral("to-read"), Qt::CaseInsensitive) == 0)
        book.location = kWishListName;
    book.notes =
        joinNotes({value(row, QStringLiteral("Private Notes")), value(row, QStringLiteral("My Review"))},
                  {{QStringLiteral("Additional authors"), value(row, QStringLiteral("Additional Authors"))},
                   {QStringLiteral("Bookshelves"), value(row, QStringLiteral("Bookshelves"))}});
    return {book, {}};
}

MappedRow ForeignColumns::mapLibraryThing(const QStringList& row, const QStringList& knownFormats) const {
    QString refusal;
    const auto stars = readRating(value(row, QStringLiteral("Rating")), refusal, QStringLiteral("Rating"));
    if (!stars)
        return refused(refusal);
    const auto acquired =
        readDate(value(row, QStringLiteral("Acquired")), refusal, QStringLiteral("Acquired"));
    if (!acquired)
        return refused(refusal);
    ImportedBook book;
    book.title = value(row, QStringLiteral("Title")).trimmed();
    book.author = forenameFirst(value(row, QStringLiteral("Primary Author")));
    // ISBNs holds every ISBN of the book, separated by commas, sometimes in brackets.
    static const QRegularExpression isbnSeparators(QStringLiteral("[,;\\[\\]\\s]+"));
    book.isbn = firstIsbn(value(row, QStringLiteral("ISBNs")).split(isbnSeparators, Qt::SkipEmptyParts) +
                          value(row, QStringLiteral("ISBN")).split(isbnSeparators, Qt::SkipEmptyParts));
    book.stars = *stars;
    book.publisher = publisherOfPublication(value(row, QStringLiteral("Publication")));
    book.pages = wholeNumber(value(row, QStringLiteral("Page Count")));
    book.copyright = wholeNumber(value(row, QStringLiteral("Date")).left(4));
    book.acquired = *acquired;
    book.format = FormatForBinding(bindingOfMedia(value(row, QStringLiteral("Media"))), knownFormats);
    const QString collections = value(row, QStringLiteral("Collections"));
    if (namesWishList(collections))
        book.location = kWishListName;
    QStringList otherAuthors;
    for (const QString& author :
         value(row, QStringLiteral("Secondary Author")).split(u'|', Qt::SkipEmptyParts))
        otherAuthors << forenameFirst(author);
    book.notes = joinNotes({value(row, QStringLiteral("Private Comment")),
                            firstValue(row, {QStringLiteral("Comments"), QStringLiteral("Comment")}),
                            value(row, QStringLiteral("Review"))},
                           {{QStringLiteral("Additional authors"), otherAuthors.join(QStringLiteral("; "))},
                            {QStringLiteral("Tags"), value(row, QStringLiteral("Tags"))},
                            {QStringLiteral("Collections"), collections}});
    return {book, {}};
}
