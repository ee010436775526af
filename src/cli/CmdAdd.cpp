// tomekeep-cli add: a new book, looked up by its ISBN or given on the command line.
#include "cli/Cli.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Schema.h"
#include "main/BookEditor.h"
#include "online/BookLookup.h"
#include "online/Covers.h"
#include "online/Isbn.h"

#include <QCommandLineParser>
#include <QDate>

namespace {

const QString kIsbn = QStringLiteral("isbn");
const QString kTitle = QStringLiteral("title");
const QString kAuthor = QStringLiteral("author");
const QString kPublisher = QStringLiteral("publisher");
const QString kCopyright = QStringLiteral("copyright");
const QString kPages = QStringLiteral("pages");

struct BookToAdd {
    QString author;
    BookFields fields;
    QByteArray cover;
};

int addBook(const BookToAdd& book) {
    Transaction transaction(gConn);
    if (!transaction.started())
        return CliFail(transaction.started().error().messageText());
    BookFields fields = book.fields;
    if (!book.author.isEmpty()) {
        const auto author = GetLookupId(QStringLiteral("Author"), QStringLiteral("AuthorId"), book.author);
        if (!author)
            return CliFail(author.error().messageText());
        fields.authorId = *author;
    }
    const auto bookId = InsertBook(fields);
    if (!bookId)
        return CliFail(bookId.error().messageText());
    if (*bookId == -1)
        return CliFail(QStringLiteral("a book titled '%1' is in the catalogue already; nothing was added")
                           .arg(fields.title));
    if (DbStatus stored = WriteCover(*bookId, book.cover); !stored)
        return CliFail(stored.error().messageText());
    if (DbStatus committed = transaction.commit(); !committed)
        return CliFail(committed.error().messageText());
    CliPrint(QStringLiteral("%1\t%2").arg(*bookId).arg(fields.title));
    return kExitDone;
}

int addByIsbn(const QString& typed, BookToAdd book) {
    const QString isbn = NormaliseIsbn(typed);
    if (isbn.isEmpty())
        return CliFail(WrongIsbnText(typed));
    const auto other = FindBookWithIsbn(isbn);
    if (!other)
        return CliFail(other.error().messageText());
    if (other->bookId != -1)
        return CliFail(QStringLiteral("the book '%1' (number %2) has the ISBN %3 already; nothing was added")
                           .arg(other->title)
                           .arg(other->bookId)
                           .arg(isbn));
    const QString base = MetadataBaseUrl();
    const LookupResult found = LookUpIsbnAndWait(base, isbn);
    if (!found.found())
        return CliFail(LookupFailureText(found, base));
    book.fields.isbn = isbn;
    book.fields.title = found.book.title;
    book.fields.publisher = found.book.publisher;
    book.fields.copyright = found.book.copyright;
    book.fields.pages = found.book.pages;
    book.author = found.book.author;
    book.cover = found.book.cover;
    return addBook(book);
}

} // namespace

void AddOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kIsbn,
         QStringLiteral("Looks the book up online by its ISBN-10 or ISBN-13 and adds it with its cover."),
         QStringLiteral("ISBN")},
        {kTitle, QStringLiteral("The title of a book added without a look-up."), QStringLiteral("TITLE")},
        {kAuthor, QStringLiteral("Its author (a book has one)."), QStringLiteral("AUTHOR")},
        {kPublisher, QStringLiteral("Its publisher."), QStringLiteral("PUBLISHER")},
        {kCopyright, QStringLiteral("Its copyright year."), QStringLiteral("YEAR")},
        {kPages, QStringLiteral("Its number of pages."), QStringLiteral("PAGES")},
    });
}

int RunAdd(const QCommandLineParser& parser) {
    const QString command = QStringLiteral("add");
    if (!parser.positionalArguments().isEmpty())
        return CliUsageError(command, QStringLiteral("add takes options only"));
    if (parser.isSet(kIsbn) == parser.isSet(kTitle))
        return CliUsageError(command, QStringLiteral("add needs either --isbn or --title"));
    for (const QString& single : {kIsbn, kTitle, kAuthor, kPublisher, kCopyright, kPages}) {
        if (parser.values(single).size() > 1)
            return CliUsageError(command, QStringLiteral("--%1 may be given once").arg(single));
    }
    auto fresh = NewBookFields(QDate::currentDate());
    if (!fresh)
        return CliFail(fresh.error().messageText());
    BookToAdd book;
    book.fields = *fresh;
    if (parser.isSet(kIsbn)) {
        if (parser.isSet(kAuthor) || parser.isSet(kPublisher) || parser.isSet(kCopyright) ||
            parser.isSet(kPages))
            return CliUsageError(command, QStringLiteral("--isbn takes the details from the look-up"));
        return addByIsbn(parser.value(kIsbn), book);
    }
    book.fields.title = parser.value(kTitle).trimmed().left(kTitleLength);
    if (book.fields.title.isEmpty())
        return CliUsageError(command, QStringLiteral("--title needs a title"));
    book.author = parser.value(kAuthor).trimmed();
    book.fields.publisher = parser.value(kPublisher).trimmed().left(kPublisherLength);
    book.fields.copyright = LeadingInteger(parser.value(kCopyright));
    book.fields.pages = LeadingInteger(parser.value(kPages));
    return addBook(book);
}
