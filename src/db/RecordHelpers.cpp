#include "db/RecordHelpers.h"

#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/Recordset.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

int expandYear(int year, qsizetype digits) {
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

} // namespace

bool IsNoDate(const QDate& date) {
    return !date.isValid() || date.year() < 1900;
}

QString DateToStored(const QDate& date) {
    return (IsNoDate(date) ? kNullDate : date).toString(Qt::ISODate);
}

QDate DateFromStored(const QVariant& value) {
    const QDate date = QDate::fromString(value.toString().left(10), Qt::ISODate);
    return date.isValid() ? date : kNullDate;
}

QString SqlQuote(const QString& text) {
    QString quoted = text;
    return quoted.replace(u'\'', QStringLiteral("''"));
}

QString NullToEmpty(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QString WildcardToSql(const QString& text) {
    QString sql = text;
    sql.replace(u'*', u'%');
    sql.replace(u'?', u'_');
    return sql;
}

QString KeepNumeric(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')
            kept.append(c);
    }
    return kept;
}

// Dates are typed month first ("mm/dd/yyyy") whatever the locale, so that what the editor
// shows always reads back as the same day; a four-digit first part is read year first.
QDate SafeDate(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,4})\s*[/.\-]\s*(\d{1,2})\s*(?:[/.\-]\s*(\d{1,4}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return kZeroDate;
    const QString first = match.captured(1);
    const QString second = match.captured(2);
    const QString third = match.captured(3);
    QDate date;
    if (first.size() > 2) {
        if (third.isEmpty())
            return kZeroDate;
        date = QDate(first.toInt(), second.toInt(), third.toInt());
    } else {
        const int year =
            third.isEmpty() ? QDate::currentDate().year() : expandYear(third.toInt(), third.size());
        date = QDate(year, first.toInt(), second.toInt());
    }
    return date.isValid() ? date : kZeroDate;
}

QString DateSeparatorsToSlashes(const QString& text) {
    QString slashed = text;
    return slashed.replace(u'.', u'/');
}

QString StripDoubleQuotes(const QString& text) {
    QString stripped = text;
    return stripped.remove(u'"');
}

QString NewlinesToBars(const QString& text) {
    // CR LF, a lone CR and a lone LF each end a line: notes typed on this platform use LF.
    QString barred = text;
    barred.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    barred.replace(u'\r', u'|');
    barred.replace(u'\n', u'|');
    return barred;
}

QString BarsToNewlines(const QString& text) {
    QString lines = text;
    return lines.replace(u'|', QStringLiteral("\r\n"));
}

void SelectAllText(QLineEdit* box) {
    if (box)
        box->setSelection(0, static_cast<int>(box->text().size()));
}

// Reads what the pattern ^\s*[+-]?(\d+\.?\d*|\.\d+) would match (ASCII blanks and digits), by hand:
// an import reads five numbers a line, and a regular expression per number was most of its cost.
double LeadingNumber(const QString& text) {
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    const bool negative = i < size && text[i] == u'-';
    if (i < size && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const auto isDigit = [&text, size](qsizetype at) {
        return at < size && text[at] >= u'0' && text[at] <= u'9';
    };
    std::string digits;
    const auto takeDigits = [&] {
        const qsizetype first = i;
        for (; isDigit(i); ++i)
            digits += static_cast<char>(text[i].unicode());
        return i - first;
    };
    const qsizetype whole = takeDigits();
    qsizetype fraction = 0;
    if (i < size && text[i] == u'.' && (whole > 0 || isDigit(i + 1))) {
        digits += '.';
        ++i;
        fraction = takeDigits();
    }
    if (whole == 0 && fraction == 0)
        return 0.0;
    double value = 0.0;
    const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

int LeadingInteger(const QString& text) {
    const double rounded = std::nearbyint(LeadingNumber(text));
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    if (rounded <= low)
        return std::numeric_limits<int>::min();
    if (rounded >= high)
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

DbResult<int> GetLookupId(const QString& table, const QString& idColumn, const QString& name) {
    const KeyedColumn& column = KeyedColumnOf(table);
    Q_ASSERT(column.idColumn == idColumn);
    auto found = FindIdByName(column, name);
    if (!found || *found != -1)
        return found;
    return AddNamedRow(column, name);
}

DbResult<QString> GetAuthorName(int authorId) {
    auto found =
        Recordset::open(QStringLiteral("SELECT [Name] FROM [Author] WHERE [AuthorId] = ?"), {authorId});
    if (!found)
        return found.error();
    return found->eof() ? QString() : found->text(0);
}

DbResult<int> GetAuthorId(const QString& name) {
    return FindIdByName(KeyedColumnOf(u"Author"), name);
}

namespace {

QVariantList bookValues(const BookFields& book) {
    return {book.subjectId,       book.locationId, book.formatId,
            book.ratingId,        book.title,      book.labelNumber,
            book.publisher,       book.authorId,   book.copyright,
            book.pages,           book.stars,      DateToStored(book.acquireDate),
            book.cost.toDouble(), book.lentTo,     DateToStored(book.lentDate),
            book.notes,           book.isbn};
}

} // namespace

DbResult<int> InsertBook(const BookFields& book) {
    auto existing = FindIdByName(KeyedColumnOf(u"Book"), book.title);
    if (!existing)
        return existing.error();
    if (*existing != -1)
        return -1;
    return AddBook(book);
}

DbResult<int> AddBook(const BookFields& book) {
    QVariantList values = bookValues(book);
    values.append(NameKey(book.title));
    auto added = gConn.insert(
        QStringLiteral("INSERT INTO [Book] ([SubjectId], [LocationId], [FormatId], [RatingId], [Title], "
                       "[LabelNumber], [Publisher], [AuthorId], [Copyright], [Pages], [Stars], "
                       "[AcquireDate], [Cost], [LentTo], [LentDate], [Notes], [ISBN], [TitleKey]) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        values);
    if (!added)
        return added.error();
    return static_cast<int>(*added);
}

DbStatus UpdateBook(int bookId, const BookFields& book) {
    QVariantList values = bookValues(book);
    values.append(bookId);
    const DbStatus updated = gConn.execute(
        QStringLiteral("UPDATE [Book] SET [SubjectId] = ?, [LocationId] = ?, [FormatId] = ?, [RatingId] = ?, "
                       "[Title] = ?, [LabelNumber] = ?, [Publisher] = ?, [AuthorId] = ?, [Copyright] = ?, "
                       "[Pages] = ?, [Stars] = ?, [AcquireDate] = ?, [Cost] = ?, [LentTo] = ?, "
                       "[LentDate] = ?, [Notes] = ?, [ISBN] = ? WHERE [BookId] = ?"),
        values);
    // Written apart from the title: a title rewritten with its key unchanged reads to the
    // catalogue's trigger as another tool's edit, which drops the key.
    return updated ? StoreNameKey(KeyedColumnOf(u"Book"), bookId, book.title) : updated;
}

DbStatus AddBookAward(int bookId, int awardId) {
    return gConn.execute(QStringLiteral("INSERT INTO [BookAward] ([BookId], [AwardId]) VALUES (?, ?)"),
                         {bookId, awardId});
}

DbResult<BookRef> FindBookWithIsbn(const QString& isbn, int exceptBookId) {
    if (isbn.isEmpty())
        return BookRef{};
    auto found = Recordset::open(QStringLiteral("SELECT [BookId], [Title] FROM [Book] WHERE [ISBN] = ? "
                                                "AND [BookId] <> ? ORDER BY [BookId] LIMIT 1"),
                                 {isbn, exceptBookId});
    if (!found)
        return found.error();
    if (found->eof())
        return BookRef{};
    return BookRef{found->field(0).toInt(), found->text(1)};
}
