#include "imports/CsvExport.h"

#include "db/Connection.h"
#include "db/Money.h"
#include "db/RecordHelpers.h"
#include "db/ScopedPragma.h"
#include "exchange/ExchangeFormat.h"

#include <QDir>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Every book, including those whose lookup rows are missing (their names are then empty).
const QString kBookQuery = QStringLiteral(
    "SELECT b.[BookId], b.[Title], a.[Name], b.[ISBN], b.[Stars], s.[Name], f.[Name], b.[Pages], r.[Name], "
    "b.[Copyright], b.[Publisher], "
    "(SELECT group_concat(w.[Name], '; ') FROM [BookAward] AS ba INNER JOIN [Award] AS w "
    "ON w.[AwardId] = ba.[AwardId] WHERE ba.[BookId] = b.[BookId]), "
    "l.[Name], b.[LabelNumber], b.[AcquireDate], b.[Cost], b.[LentTo], b.[LentDate], b.[Notes] "
    "FROM [Book] AS b LEFT JOIN [Author] AS a ON a.[AuthorId] = b.[AuthorId] "
    "LEFT JOIN [Subject] AS s ON s.[SubjectId] = b.[SubjectId] "
    "LEFT JOIN [Format] AS f ON f.[FormatId] = b.[FormatId] "
    "LEFT JOIN [Rating] AS r ON r.[RatingId] = b.[RatingId] "
    "LEFT JOIN [Location] AS l ON l.[LocationId] = b.[LocationId] ORDER BY READING_KEY(b.[Title]), "
    "b.[BookId]");

enum class Form { Text, Number, Date, Money };

struct Column {
    const char* name;
    Form form;
};

// In the order of the query's columns.
constexpr Column kColumns[] = {
    {"BookId", Form::Number}, {"Title", Form::Text},       {"Author", Form::Text},    {"ISBN", Form::Text},
    {"Stars", Form::Number},  {"Subject", Form::Text},     {"Format", Form::Text},    {"Pages", Form::Number},
    {"Rating", Form::Text},   {"Copyright", Form::Number}, {"Publisher", Form::Text}, {"Awards", Form::Text},
    {"Location", Form::Text}, {"Label", Form::Text},       {"Acquired", Form::Date},  {"Cost", Form::Money},
    {"LentTo", Form::Text},   {"LentDate", Form::Date},    {"Notes", Form::Text},
};

QString formatted(const QVariant& value, Form form) {
    switch (form) {
    case Form::Text:
        return NullToEmpty(value);
    case Form::Number:
        return PlainNumber(value.toDouble());
    case Form::Date: {
        const QDate date = DateFromStored(value);
        return IsNoDate(date) ? QString() : date.toString(Qt::ISODate);
    }
    case Form::Money:
        return Money::fromDouble(value.toDouble()).toPlainText();
    }
    return {};
}

bool needsQuotes(const QString& value) {
    if (value.isEmpty())
        return false;
    for (const QChar c : value) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return value.front().isSpace() || value.back().isSpace();
}

CsvExportResult failed(int count, const QString& error) {
    return {false, count, error};
}

} // namespace

QString CsvField(const QString& value) {
    if (!needsQuotes(value))
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString CsvRecord(const QStringList& fields) {
    QString record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += u',';
        record += CsvField(fields[i]);
    }
    return record;
}

QStringList CsvExportHeader() {
    QStringList header;
    for (const Column& column : kColumns)
        header << QString::fromLatin1(column.name);
    return header;
}

CsvExportResult ExportCsv(const QString& path) {
    const ScopedPragma largerCache(QStringLiteral("cache_size"), kWholeCatalogueCacheSize);
    QSaveFile file(path);
    const auto fileError = [&file] {
        return QStringLiteral("Cannot write to '%1': %2.")
            .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(0, fileError());
    auto ran = gConn.run(kBookQuery);
    if (!ran)
        return failed(0, ran.error().messageText());
    QSqlQuery& query = **ran;
    constexpr QStringView kLineEnd = u"\r\n";
    QByteArray bytes = "\xEF\xBB\xBF" + (CsvRecord(CsvExportHeader()) + kLineEnd).toUtf8();
    int count = 0;
    QStringList fields;
    while (query.next()) {
        fields.clear();
        for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
            fields << formatted(query.value(i), kColumns[i].form);
        bytes += (CsvRecord(fields) + kLineEnd).toUtf8();
        ++count;
        if (bytes.size() > (1 << 20)) {
            file.write(bytes);
            bytes.clear();
        }
    }
    const QSqlError queryError = query.lastError();
    query.finish();
    if (queryError.isValid())
        return failed(count, DbError::fromSqlError(queryError).messageText());
    file.write(bytes);
    if (!file.commit())
        return failed(count, fileError());
    return {true, count, {}};
}
