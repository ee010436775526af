#include "main/BookEditor.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"
#include "main/BookText.h"
#include "online/Covers.h"
#include "online/Isbn.h"

namespace {

struct LookupInfo {
    const char* table;
    const char* idColumn;
};

// Indexed by LookupKind.
constexpr LookupInfo kLookups[] = {
    {"Subject", "SubjectId"},
    {"Rating", "RatingId"},
    {"Format", "FormatId"},
    {"Location", "LocationId"},
};

const LookupInfo& info(LookupKind kind) {
    return kLookups[static_cast<int>(kind)];
}

DbResult<int> findOrAddAuthor(const QString& name) {
    auto found = GetAuthorId(name);
    if (!found || *found != -1)
        return found;
    return AddNamedRow(KeyedColumnOf(u"Author"), name);
}

DbStatus rewriteAwards(int bookId, const QStringList& awards) {
    if (DbStatus status =
            gConn.execute(QStringLiteral("DELETE FROM [BookAward] WHERE [BookId] = ?"), {bookId});
        !status)
        return status;
    for (const QString& name : awards) {
        auto award = FindIdByName(KeyedColumnOf(u"Award"), name);
        if (!award)
            return award.error();
        if (*award == -1)
            continue;
        if (DbStatus status = AddBookAward(bookId, *award); !status)
            return status;
    }
    return {};
}

// The author and the award links; written inside the caller's transaction.
DbResult<int> writeAuthorAndAwards(int bookId, const EditorTexts& texts) {
    auto authorId = findOrAddAuthor(texts.author);
    if (!authorId)
        return authorId.error();
    if (DbStatus status = rewriteAwards(bookId, texts.awards); !status)
        return status.error();
    return *authorId;
}

SaveResult failed(const DbError& error) {
    SaveResult result;
    result.outcome = SaveOutcome::Failed;
    result.error = error;
    return result;
}

const QString kPlaceholderCondition = QStringLiteral(
    "[Title] = ? COLLATE BINARY AND [LabelNumber] = '' AND IFNULL([Publisher], '') = '' "
    "AND IFNULL([AuthorId], 0) = 0 AND [Copyright] = 0 AND [Pages] = 0 AND [Stars] = 0 AND [Cost] = 0 "
    "AND [LentDate] < '1900' AND IFNULL([LentTo], '') = '' "
    "AND IFNULL([Notes], '') = '' AND [SubjectId] = ? AND [LocationId] = ? AND [FormatId] = ? "
    "AND [RatingId] = ? AND [BookId] NOT IN (SELECT [BookId] FROM [BookAward])");

DbStatus removeUntouchedPlaceholders(const BookFields& fresh) {
    return gConn.execute(QStringLiteral("DELETE FROM [Book] WHERE ") + kPlaceholderCondition,
                         {fresh.title, fresh.subjectId, fresh.locationId, fresh.formatId, fresh.ratingId});
}

DbResult<NewBook> insertNewBook(const BookFields& fresh) {
    auto added = InsertBook(fresh);
    if (!added)
        return added.error();
    if (*added != -1)
        return NewBook{*added, false};
    auto existing = FindIdByName(KeyedColumnOf(u"Book"), fresh.title);
    if (!existing)
        return existing.error();
    return NewBook{*existing, true};
}

// Overwriting a book another program deleted puts it back under its own number; the update that
// follows writes its values.
DbStatus keepBookRow(int bookId, const QString& title) {
    const QString noDate = DateToStored(kNullDate);
    return gConn.execute(
        QStringLiteral("INSERT OR IGNORE INTO [Book] ([BookId], [SubjectId], [LocationId], "
                       "[FormatId], [RatingId], [Title], [LabelNumber], [Copyright], [Pages], "
                       "[Stars], [AcquireDate], [Cost], [LentDate]) "
                       "VALUES (?, 0, 0, 0, 0, ?, '', 0, 0, 0, ?, 0, ?)"),
        {bookId, title, noDate, noDate});
}

// True when the stored row of the book is no longer the one the editor read.
DbResult<bool> changedSinceShown(int bookId, const BookFields& shownAs) {
    auto stored = ReadShownBook(bookId);
    if (!stored)
        return stored.error();
    return !stored->has_value() || (*stored)->fields != shownAs;
}

} // namespace

QString LookupTable(LookupKind kind) {
    return QString::fromLatin1(info(kind).table);
}

QString LookupIdColumn(LookupKind kind) {
    return QString::fromLatin1(info(kind).idColumn);
}

int& LookupIdOf(BookFields& book, LookupKind kind) {
    switch (kind) {
    case LookupKind::Subject:
        return book.subjectId;
    case LookupKind::Rating:
        return book.ratingId;
    case LookupKind::Format:
        return book.formatId;
    case LookupKind::Location:
        break;
    }
    return book.locationId;
}

DbResult<std::vector<LookupEntry>> ReadLookupList(LookupKind kind) {
    auto rows = Recordset::open(u"SELECT [" + LookupIdColumn(kind) + u"], [Name] FROM [" + LookupTable(kind) +
                                u"] ORDER BY [Name] COLLATE READING");
    if (!rows)
        return rows.error();
    std::vector<LookupEntry> list;
    list.reserve(static_cast<size_t>(rows->recordCount()));
    for (; !rows->eof(); rows->moveNext())
        list.push_back({rows->field(0).toInt(), rows->text(1)});
    return list;
}

QString LookupNameOf(const std::vector<LookupEntry>& list, int id) {
    for (const LookupEntry& entry : list) {
        if (entry.id == id)
            return entry.name;
    }
    return {};
}

DbResult<int> FindLookupId(LookupKind kind, const QString& name) {
    return FindIdByName(KeyedColumnOf(LookupTable(kind)), name);
}

DbResult<std::optional<ShownBook>> ReadShownBook(int bookId) {
    auto row = Recordset::open(QStringLiteral("SELECT m.*, a.[Name] AS [AuthorName] FROM [Book] m "
                                              "LEFT JOIN [Author] a ON a.[AuthorId] = m.[AuthorId] "
                                              "WHERE m.[BookId] = ?"),
                               {bookId});
    if (!row)
        return row.error();
    if (row->eof())
        return std::optional<ShownBook>();
    auto awards = Recordset::open(QStringLiteral("SELECT [Name] FROM [Award] WHERE [AwardId] IN "
                                                 "(SELECT [AwardId] FROM [BookAward] WHERE [BookId] = ?) "
                                                 "ORDER BY [AwardId]"),
                                  {bookId});
    if (!awards)
        return awards.error();
    ShownBook book;
    book.bookId = bookId;
    book.author = row->text(QStringLiteral("AuthorName"));
    for (; !awards->eof(); awards->moveNext())
        book.awards << awards->text(0);
    BookFields& f = book.fields;
    f.subjectId = row->field(QStringLiteral("SubjectId")).toInt();
    f.locationId = row->field(QStringLiteral("LocationId")).toInt();
    f.formatId = row->field(QStringLiteral("FormatId")).toInt();
    f.ratingId = row->field(QStringLiteral("RatingId")).toInt();
    f.authorId = row->field(QStringLiteral("AuthorId")).toInt();
    f.title = row->text(QStringLiteral("Title"));
    f.labelNumber = row->text(QStringLiteral("LabelNumber"));
    f.publisher = row->text(QStringLiteral("Publisher"));
    f.copyright = row->field(QStringLiteral("Copyright")).toInt();
    f.pages = row->field(QStringLiteral("Pages")).toInt();
    f.stars = row->field(QStringLiteral("Stars")).toDouble();
    f.acquireDate = DateFromStored(row->field(QStringLiteral("AcquireDate")));
    f.cost = Money::fromDouble(row->field(QStringLiteral("Cost")).toDouble());
    f.lentTo = row->text(QStringLiteral("LentTo"));
    f.lentDate = DateFromStored(row->field(QStringLiteral("LentDate")));
    f.notes = row->text(QStringLiteral("Notes"));
    f.isbn = row->text(QStringLiteral("ISBN"));
    return std::optional<ShownBook>(std::move(book));
}

namespace {

// The fields the editor shows exactly as stored.
struct PlainField {
    QString EditorTexts::*text;
    QString BookFields::*field;
};
constexpr PlainField kPlainFields[] = {{&EditorTexts::title, &BookFields::title},
                                       {&EditorTexts::publisher, &BookFields::publisher},
                                       {&EditorTexts::labelNumber, &BookFields::labelNumber},
                                       {&EditorTexts::lentTo, &BookFields::lentTo},
                                       {&EditorTexts::notes, &BookFields::notes}};

// The date fields: shown "mm/dd/yyyy", read month first.
struct DateField {
    QString EditorTexts::*text;
    QDate BookFields::*field;
};
constexpr DateField kDateFields[] = {{&EditorTexts::acquireDate, &BookFields::acquireDate},
                                     {&EditorTexts::lentDate, &BookFields::lentDate}};

// Pages and copyright: a whole number, empty for 0.
struct NumberField {
    QString EditorTexts::*text;
    int BookFields::*field;
};
constexpr NumberField kNumberFields[] = {{&EditorTexts::pages, &BookFields::pages},
                                         {&EditorTexts::copyright, &BookFields::copyright}};

} // namespace

EditorTexts TextsOfBook(const ShownBook& book, const QLocale& locale) {
    const BookFields& f = book.fields;
    EditorTexts texts;
    for (const PlainField& plain : kPlainFields)
        texts.*plain.text = f.*plain.field;
    for (const DateField& date : kDateFields)
        texts.*date.text = DateText(f.*date.field);
    for (const NumberField& number : kNumberFields)
        texts.*number.text = WholeNumberText(f.*number.field);
    texts.bookId = QString::number(book.bookId);
    texts.author = book.author;
    texts.stars = StarsText(f.stars, locale);
    texts.cost = CostText(f.cost, locale);
    texts.awards = book.awards;
    texts.isbn = f.isbn;
    return texts;
}

BookFields FieldsOfTexts(const EditorTexts& texts, const QLocale& locale) {
    BookFields f;
    for (const PlainField& plain : kPlainFields)
        f.*plain.field = texts.*plain.text;
    for (const DateField& date : kDateFields)
        f.*date.field = SafeDate(texts.*date.text);
    for (const NumberField& number : kNumberFields)
        f.*number.field = LeadingInteger(texts.*number.text);
    f.stars = ReadStars(texts.stars, locale);
    f.cost = ReadCost(texts.cost, locale);
    f.isbn = NormaliseIsbn(texts.isbn);
    return f;
}

DbResult<IsbnCheck> CheckTypedIsbn(int bookId, const QString& typed) {
    IsbnCheck check;
    if (typed.trimmed().isEmpty())
        return check;
    check.isbn = NormaliseIsbn(typed);
    if (check.isbn.isEmpty()) {
        check.verdict = IsbnCheck::Verdict::Wrong;
        return check;
    }
    auto stored = Recordset::open(QStringLiteral("SELECT [ISBN] FROM [Book] WHERE [BookId] = ?"), {bookId});
    if (!stored)
        return stored.error();
    if (!stored->eof() && stored->text(0) == check.isbn)
        return check;
    auto other = FindBookWithIsbn(check.isbn, bookId);
    if (!other)
        return other.error();
    if (other->bookId != -1) {
        check.verdict = IsbnCheck::Verdict::Shared;
        check.other = *other;
    }
    return check;
}

QString WrongIsbnText(const QString& typed) {
    return QStringLiteral("'%1' is not an ISBN: an ISBN has 10 or 13 digits (an ISBN-10 may end in X) "
                          "and its last digit must match the others.  Check the number and try again.")
        .arg(typed.trimmed());
}

QString SharedIsbnText(const IsbnCheck& check) {
    return QStringLiteral("The book '%1' already has the ISBN %2.  Save this book with the same ISBN?")
        .arg(check.other.title, check.isbn);
}

QString LookupQuestionTitle(LookupKind kind) {
    return QStringLiteral("Add %1?").arg(LookupTable(kind));
}

QString LookupQuestionText(LookupKind kind, const QString& name) {
    return QStringLiteral("%1 '%2' does not exist.  Add it?").arg(LookupTable(kind), name);
}

SaveResult SaveEditedBook(const EditorTexts& texts, const LookupQuestion& ask, const BookFields* shownAs,
                          const QLocale& locale) {
    const int bookId = LeadingInteger(texts.bookId);
    Transaction transaction(gConn);
    if (!transaction.started())
        return failed(transaction.started().error());
    if (shownAs) {
        auto changed = changedSinceShown(bookId, *shownAs);
        if (!changed)
            return failed(changed.error());
        if (*changed) {
            SaveResult result;
            result.outcome = SaveOutcome::Changed;
            return result;
        }
    } else if (DbStatus kept = keepBookRow(bookId, texts.title); !kept) {
        return failed(kept.error());
    }
    auto authorId = writeAuthorAndAwards(bookId, texts);
    if (!authorId)
        return failed(authorId.error());
    SaveResult result;
    result.fields = FieldsOfTexts(texts, locale);
    result.fields.authorId = *authorId;
    std::vector<LookupKind> missing;
    for (const LookupKind kind : kLookupKinds) {
        auto id = FindLookupId(kind, texts.lookup(kind));
        if (!id)
            return failed(id.error());
        if (*id == -1)
            missing.push_back(kind);
        LookupIdOf(result.fields, kind) = *id;
    }
    // The usual save asks nothing and lands as one write. Questions are asked with nothing held
    // open, after the author and the award links are written for good.
    if (!missing.empty()) {
        if (DbStatus status = transaction.commit(); !status)
            return failed(status.error());
    }
    for (const LookupKind kind : missing) {
        const QString& name = texts.lookup(kind);
        const PromptAnswer answer = ask(LookupQuestionTitle(kind), LookupQuestionText(kind, name));
        if (answer != PromptAnswer::Yes) {
            result.outcome = answer == PromptAnswer::No ? SaveOutcome::Kept : SaveOutcome::Discarded;
            result.keptFor = kind;
            return result;
        }
        auto id = GetLookupId(LookupTable(kind), LookupIdColumn(kind), name);
        if (!id)
            return failed(id.error());
        LookupIdOf(result.fields, kind) = *id;
    }
    if (DbStatus status = UpdateBook(bookId, result.fields); !status)
        return failed(status.error());
    if (texts.cover) {
        if (DbStatus status = WriteCover(bookId, *texts.cover); !status)
            return failed(status.error());
    }
    if (missing.empty()) {
        if (DbStatus status = transaction.commit(); !status)
            return failed(status.error());
    }
    return result;
}

bool IsReadableDate(const QString& text) {
    return text.trimmed().isEmpty() || SafeDate(text) != kZeroDate;
}

QString UnreadableDateText(const QString& label, const QString& text) {
    return QStringLiteral(
               "%1: '%2' is not a date.  Type the date as mm/dd/yyyy, or empty the box for no date.")
        .arg(label, text);
}

QString NewBookTitle() {
    return QStringLiteral("New Book");
}

DbResult<BookFields> NewBookFields(const QDate& today) {
    BookFields fresh;
    fresh.title = NewBookTitle();
    fresh.acquireDate = today;
    fresh.lentDate = kZeroDate;
    for (const LookupKind kind : kLookupKinds) {
        auto first = Recordset::open(u"SELECT [" + LookupIdColumn(kind) + u"] FROM [" + LookupTable(kind) +
                                     u"] ORDER BY [Name] COLLATE READING LIMIT 1");
        if (!first)
            return first.error();
        LookupIdOf(fresh, kind) = first->eof() ? 0 : first->field(0).toInt();
    }
    return fresh;
}

DbResult<NewBook> AddNewBook(const QDate& today) {
    auto fresh = NewBookFields(today);
    if (!fresh)
        return fresh.error();
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started().error();
    if (DbStatus removed = removeUntouchedPlaceholders(*fresh); !removed)
        return removed.error();
    auto book = insertNewBook(*fresh);
    if (!book)
        return book;
    if (DbStatus committed = transaction.commit(); !committed)
        return committed.error();
    return book;
}

DbResult<QString> BookTitle(int bookId) {
    auto row = Recordset::open(QStringLiteral("SELECT [Title] FROM [Book] WHERE [BookId] = ?"), {bookId});
    if (!row)
        return row.error();
    return row->eof() ? QString() : row->text(0);
}

DbStatus DeleteBookRows(int bookId) {
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started();
    for (const QString& sql : {QStringLiteral("DELETE FROM [BookAward] WHERE [BookId] = ?"),
                               QStringLiteral("DELETE FROM [Book] WHERE [BookId] = ?")}) {
        if (DbStatus status = gConn.execute(sql, {bookId}); !status)
            return status;
    }
    return transaction.commit();
}
