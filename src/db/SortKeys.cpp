#include "db/SortKeys.h"

#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/ReadingOrder.h"
#include "db/SqliteStatement.h"

#include <QStringList>
#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace {

// Keys are written in batches: rows are not updated under a read that walks them.
constexpr int kBatch = 20000;

SortKeyColumn keyed(const char* table, const char* text, const char* key) {
    const QString name = QString::fromLatin1(table);
    return {name, name + QStringLiteral("Id"), QString::fromLatin1(text), QString::fromLatin1(key)};
}

const std::array<SortKeyColumn, 4>& sortKeyColumns() {
    static const std::array<SortKeyColumn, 4> columns = {
        keyed("Book", "Title", "TitleOrder"),
        keyed("Author", "Name", "NameOrder"),
        keyed("Subject", "Name", "NameOrder"),
        keyed("Location", "Name", "NameOrder"),
    };
    return columns;
}

QString statement(const char* pattern, const SortKeyColumn& column) {
    return KeyedStatement(pattern, column.table, column.idColumn, column.textColumn, column.keyColumn);
}

QString orderName() {
    return ReadingOrder::forUser().name();
}

DbResult<bool> oneFlag(const QString& sql, const QVariantList& params = {}) {
    auto query = SqliteStatement::prepare(sql, params);
    if (!query)
        return query.error();
    const bool flag = (*query)->next() && (*query)->integer(0) != 0;
    if (!(*query)->status())
        return (*query)->status().error();
    return flag;
}

DbResult<bool> hasKeyColumn(const SortKeyColumn& column) {
    return ColumnExists(column.table, column.keyColumn);
}

DbResult<bool> keysFollowUserOrder() {
    return oneFlag(QStringLiteral("SELECT EXISTS (SELECT 1 FROM [TitleOrderLocale] WHERE [Locale] = ?)"),
                   {orderName()});
}

DbResult<bool> keysCurrent(const SortKeyColumn& column) {
    const auto present = hasKeyColumn(column);
    if (!present || !*present)
        return present;
    const auto follows = keysFollowUserOrder();
    if (!follows || !*follows)
        return follows;
    const auto stale =
        oneFlag(statement("SELECT EXISTS (SELECT 1 FROM [{table}] WHERE [{key}] IS NULL)", column));
    if (!stale)
        return stale.error();
    return !*stale;
}

DbStatus forgetOtherOrder() {
    QStringList statements;
    for (const SortKeyColumn& column : sortKeyColumns())
        statements << statement("UPDATE [{table}] SET [{key}] = NULL", column);
    statements << QStringLiteral("DELETE FROM [TitleOrderLocale]");
    for (const QString& sql : statements) {
        if (DbStatus done = gConn.execute(sql); !done)
            return done;
    }
    return gConn.execute(QStringLiteral("INSERT INTO [TitleOrderLocale] ([Locale]) VALUES (?)"),
                         {orderName()});
}

struct StaleText {
    qint64 id;
    QString text;
};

// The next rows without a key past `after`, in number order: through the key's index when there
// is one, through the numbers when the index is still to be made.
DbResult<std::vector<StaleText>> nextStaleBatch(const SortKeyColumn& column, qint64 after) {
    auto stale = SqliteStatement::prepare(statement("SELECT [{id}], [{text}] FROM [{table}] WHERE [{key}] IS "
                                                    "NULL AND [{id}] > ? ORDER BY [{id}] LIMIT ?",
                                                    column),
                                          {after, kBatch});
    if (!stale)
        return stale.error();
    std::vector<StaleText> batch;
    while ((*stale)->next())
        batch.push_back({(*stale)->integer64(0), (*stale)->text(1)});
    if (!(*stale)->status())
        return (*stale)->status().error();
    return batch;
}

DbStatus keyStaleTexts(const SortKeyColumn& column) {
    auto store =
        SqliteStatement::prepare(statement("UPDATE [{table}] SET [{key}] = ? WHERE [{id}] = ?", column));
    if (!store)
        return store.error();
    qint64 after = std::numeric_limits<qint64>::min();
    for (;;) {
        auto batch = nextStaleBatch(column, after);
        if (!batch)
            return batch.error();
        if (batch->empty())
            return {};
        after = batch->back().id;
        for (const StaleText& stale : *batch) {
            // A null text still gets a key, so that the row is not read again and again.
            if (DbStatus bound = (*store)->rebind({SortKeyOf(stale.text), stale.id}); !bound)
                return bound;
            (*store)->next();
            if (!(*store)->status())
                return (*store)->status();
        }
    }
}

DbStatus addSortKey(const SortKeyColumn& column) {
    const auto present = hasKeyColumn(column);
    if (!present)
        return present.error();
    QStringList statements;
    if (!*present)
        statements << statement("ALTER TABLE [{table}] ADD COLUMN [{key}] BLOB", column);
    // The texts' own collation ignores letter case, which the order does not: compare bytes.
    statements << statement(
        "CREATE TRIGGER IF NOT EXISTS [{table}_{key}Stale] AFTER UPDATE OF [{text}] ON [{table}] "
        "WHEN new.[{key}] IS old.[{key}] AND new.[{text}] IS NOT old.[{text}] COLLATE BINARY "
        "BEGIN UPDATE [{table}] SET [{key}] = NULL WHERE [{id}] = new.[{id}]; END",
        column);
    for (const QString& sql : statements) {
        if (DbStatus done = gConn.execute(sql); !done)
            return done;
    }
    return {};
}

} // namespace

const SortKeyColumn& SortKeyColumnOf(QStringView table) {
    return ColumnOfTable(sortKeyColumns(), table);
}

QByteArray SortKeyOf(QStringView text) {
    return ReadingOrder::forUser().sortKey(text);
}

DbStatus AddSortKeys() {
    for (const SortKeyColumn& column : sortKeyColumns()) {
        if (DbStatus added = addSortKey(column); !added)
            return added;
    }
    QStringList statements;
    for (const char* column : {"AuthorId", "SubjectId", "LocationId", "Pages", "Copyright", "Stars"})
        statements << QStringLiteral("CREATE INDEX IF NOT EXISTS [Book_%1] ON [Book] ([%1])")
                          .arg(QLatin1String(column));
    // A title search reads the titles whose key begins as its pattern does: with the title beside
    // the key in the index, it never reads the books themselves.
    statements << QStringLiteral(
                      "CREATE INDEX IF NOT EXISTS [Book_TitleKeyTitle] ON [Book] ([TitleKey], [Title])")
               << QStringLiteral("DROP INDEX IF EXISTS [Book_TitleKey]")
               << QStringLiteral("CREATE TABLE IF NOT EXISTS [TitleOrderLocale] ([Locale] TEXT NOT NULL)");
    for (const QString& sql : statements) {
        if (DbStatus done = gConn.execute(sql); !done)
            return done;
    }
    // The keys are indexed once they are all written: one sort, instead of a million insertions.
    if (DbStatus keyed = RepairSortKeys(); !keyed)
        return keyed;
    for (const SortKeyColumn& column : sortKeyColumns()) {
        if (DbStatus indexed = gConn.execute(
                statement("CREATE INDEX IF NOT EXISTS [{table}_{key}] ON [{table}] ([{key}])", column));
            !indexed)
            return indexed;
    }
    return {};
}

DbStatus RepairSortKeys() {
    if (gConn.isReadOnly())
        return {};
    const auto present = hasKeyColumn(sortKeyColumns().front());
    if (!present || !*present)
        return DbStatus::of(present);
    bool allCurrent = true;
    for (const SortKeyColumn& column : sortKeyColumns()) {
        const auto current = keysCurrent(column);
        if (!current)
            return current.error();
        allCurrent = allCurrent && *current;
    }
    if (allCurrent)
        return {};
    std::optional<Transaction> transaction;
    if (!gConn.inTransaction()) {
        transaction.emplace(gConn);
        if (!transaction->started())
            return transaction->started();
    }
    const auto follows = keysFollowUserOrder();
    if (!follows)
        return follows.error();
    if (!*follows) {
        if (DbStatus forgot = forgetOtherOrder(); !forgot)
            return forgot;
    }
    for (const SortKeyColumn& column : sortKeyColumns()) {
        if (DbStatus keyed = keyStaleTexts(column); !keyed)
            return keyed;
    }
    return transaction ? transaction->commit() : DbStatus();
}

DbResult<QString> SortedByKey(const SortKeyColumn& column) {
    const auto current = keysCurrent(column);
    if (!current)
        return current.error();
    return *current ? statement("SELECT [{id}], [{key}] FROM [{table}] ORDER BY [{key}], [{id}]", column)
                    : statement("SELECT [{id}], READING_KEY([{text}]) AS [SortKey] FROM [{table}] "
                                "ORDER BY [SortKey], [{id}]",
                                column);
}
