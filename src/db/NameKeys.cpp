#include "db/NameKeys.h"

#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/Recordset.h"

#include <QRegularExpression>
#include <array>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace {

// A statement over one keyed column, written with {table}, {id}, {text} and {key} for its names.
QString statement(const char* pattern, const KeyedColumn& column) {
    return KeyedStatement(pattern, column.table, column.idColumn, column.textColumn, column.keyColumn);
}

KeyedColumn keyed(const char* table, const char* text, const char* key) {
    KeyedColumn column;
    column.table = QString::fromLatin1(table);
    column.idColumn = column.table + QStringLiteral("Id");
    column.textColumn = QString::fromLatin1(text);
    column.keyColumn = QString::fromLatin1(key);
    column.staleRows = statement("SELECT [{id}], [{text}] FROM [{table}] WHERE [{key}] IS NULL", column);
    column.firstIdByKey =
        statement("SELECT [{id}] FROM [{table}] WHERE [{key}] = ? ORDER BY [{id}] LIMIT 1", column);
    column.countByKey = statement("SELECT COUNT(*) FROM [{table}] WHERE [{key}] = ?", column);
    column.insertRow = statement("INSERT INTO [{table}] ([{text}], [{key}]) VALUES (?, ?)", column);
    column.storeKey = statement("UPDATE [{table}] SET [{key}] = ? WHERE [{id}] = ?", column);
    return column;
}

KeyedColumn lookup(const char* table) {
    return keyed(table, "Name", "NameKey");
}

const std::array<KeyedColumn, 7>& keyedColumns() {
    static const std::array<KeyedColumn, 7> columns = {
        keyed("Book", "Title", "TitleKey"),
        lookup("Author"),
        lookup("Award"),
        lookup("Subject"),
        lookup("Location"),
        lookup("Format"),
        lookup("Rating"),
    };
    return columns;
}

DbStatus addKey(const KeyedColumn& column) {
    auto present = ColumnExists(column.table, column.keyColumn);
    if (!present)
        return present.error();
    if (!*present) {
        if (DbStatus added =
                gConn.execute(statement("ALTER TABLE [{table}] ADD COLUMN [{key}] TEXT", column));
            !added)
            return added;
    }
    // A text changed by another tool while its key stays behind: the key is dropped, so the
    // program finds the row through the index and keys it again.
    for (const char* sql :
         {"CREATE INDEX IF NOT EXISTS [{table}_{key}] ON [{table}] ([{key}])",
          "CREATE TRIGGER IF NOT EXISTS [{table}_{key}Stale] AFTER UPDATE OF [{text}] ON [{table}] "
          "WHEN new.[{key}] IS old.[{key}] AND new.[{text}] IS NOT old.[{text}] "
          "BEGIN UPDATE [{table}] SET [{key}] = NULL WHERE [{id}] = new.[{id}]; END"}) {
        if (DbStatus made = gConn.execute(statement(sql, column)); !made)
            return made;
    }
    return RepairNameKeys(column);
}

} // namespace

QString NameKey(QStringView text) {
    // Full folding can lengthen a text ("ß" becomes "ss"); a second try gets the room it needs.
    QString key(text.size(), Qt::Uninitialized);
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t written =
            u_strFoldCase(reinterpret_cast<UChar*>(key.data()), static_cast<int32_t>(key.size()),
                          reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()),
                          U_FOLD_CASE_DEFAULT, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            key.resize(written);
            continue;
        }
        if (U_FAILURE(status))
            return text.toString().toCaseFolded();
        key.resize(written);
        return key;
    }
    return text.toString().toCaseFolded();
}

QString KeyedStatement(const char* pattern, const QString& table, const QString& id, const QString& text,
                       const QString& key) {
    return QString::fromLatin1(pattern)
        .replace(QStringLiteral("{table}"), table)
        .replace(QStringLiteral("{id}"), id)
        .replace(QStringLiteral("{text}"), text)
        .replace(QStringLiteral("{key}"), key);
}

const KeyedColumn& KeyedColumnOf(QStringView table) {
    return ColumnOfTable(keyedColumns(), table);
}

DbStatus AddNameKeys() {
    for (const KeyedColumn& column : keyedColumns()) {
        if (DbStatus added = addKey(column); !added)
            return added;
    }
    return {};
}

DbStatus RepairNameKeys(const KeyedColumn& column) {
    auto stale = Recordset::open(column.staleRows);
    if (!stale)
        return stale.error();
    for (; !stale->eof(); stale->moveNext()) {
        if (DbStatus stored = StoreNameKey(column, stale->field(0).toLongLong(), stale->text(1)); !stored)
            return stored;
    }
    return {};
}

DbStatus RepairAllNameKeys() {
    for (const KeyedColumn& column : keyedColumns()) {
        if (DbStatus repaired = RepairNameKeys(column); !repaired)
            return repaired;
    }
    return {};
}

DbResult<bool> NameKeysCurrent(const KeyedColumn& column) {
    const auto present = ColumnExists(column.table, column.keyColumn);
    if (!present || !*present)
        return present;
    // A key that cannot be written now leaves the row unkeyed, which the answer tells.
    if (!gConn.isReadOnly())
        static_cast<void>(RepairNameKeys(column));
    auto stale =
        QueryNumber(statement("SELECT EXISTS (SELECT 1 FROM [{table}] WHERE [{key}] IS NULL)", column));
    if (!stale)
        return stale.error();
    return *stale == 0;
}

DbResult<int> FindIdByName(const KeyedColumn& column, const QString& text) {
    if (DbStatus repaired = RepairNameKeys(column); !repaired)
        return repaired.error();
    auto found = Recordset::open(column.firstIdByKey, {NameKey(text)});
    if (!found)
        return found.error();
    return found->eof() ? -1 : found->field(0).toInt();
}

DbResult<qint64> CountByName(const KeyedColumn& column, const QString& text) {
    if (DbStatus repaired = RepairNameKeys(column); !repaired)
        return repaired.error();
    return QueryNumber(column.countByKey, {NameKey(text)});
}

DbResult<int> AddNamedRow(const KeyedColumn& column, const QString& name) {
    auto added = gConn.insert(column.insertRow, {name, NameKey(name)});
    if (!added)
        return added.error();
    return static_cast<int>(*added);
}

DbStatus StoreNameKey(const KeyedColumn& column, qint64 id, const QString& text) {
    return gConn.execute(column.storeKey, {NameKey(text), id});
}

QString LikePrefix(const QString& likePattern) {
    const qsizetype wildcard = likePattern.indexOf(QRegularExpression(QStringLiteral("[%_]")));
    return wildcard < 0 ? likePattern : likePattern.left(wildcard);
}

std::optional<std::pair<QString, QString>> KeyPrefixRange(const QString& prefix) {
    if (prefix.isEmpty())
        return std::nullopt;
    const QString low = NameKey(prefix);
    QList<uint> points = low.toUcs4();
    // Keys compare code point by code point: the next code point after the last ends the range.
    uint& last = points.last();
    if (last >= 0x10FFFF)
        return std::nullopt;
    last = last + 1 == 0xD800 ? 0xE000 : last + 1;
    QString high;
    for (const uint point : points)
        high += QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
    return std::pair{low, high};
}
