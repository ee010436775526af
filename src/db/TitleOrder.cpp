#include "db/TitleOrder.h"

#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/ReadingOrder.h"
#include "db/SqliteStatement.h"

#include <optional>
#include <vector>

namespace {

// Keys are written in batches: rows are not updated under a read that walks them.
constexpr int kBatch = 20000;

QString orderName() {
    return ReadingOrder::forUser().name();
}

DbResult<bool> keysFollowUserOrder() {
    auto recorded = SqliteStatement::prepare(QStringLiteral("SELECT [Locale] FROM [TitleOrderLocale]"));
    if (!recorded)
        return recorded.error();
    const bool same = (*recorded)->next() && (*recorded)->text(0) == orderName();
    if (!(*recorded)->status())
        return (*recorded)->status().error();
    return same;
}

DbResult<bool> staleKeysLeft() {
    auto stale = SqliteStatement::prepare(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM [Book] WHERE [TitleOrder] IS NULL)"));
    if (!stale)
        return stale.error();
    const bool any = (*stale)->next() && (*stale)->integer(0) != 0;
    if (!(*stale)->status())
        return (*stale)->status().error();
    return any;
}

DbStatus forgetOtherOrder() {
    for (const QString& sql : {QStringLiteral("UPDATE [Book] SET [TitleOrder] = NULL"),
                               QStringLiteral("DELETE FROM [TitleOrderLocale]")}) {
        if (DbStatus done = gConn.execute(sql); !done)
            return done;
    }
    return gConn.execute(QStringLiteral("INSERT INTO [TitleOrderLocale] ([Locale]) VALUES (?)"), {orderName()});
}

struct StaleTitle {
    qint64 bookId;
    QString title;
};

DbResult<std::vector<StaleTitle>> nextStaleBatch() {
    auto stale = SqliteStatement::prepare(
        QStringLiteral("SELECT [BookId], [Title] FROM [Book] WHERE [TitleOrder] IS NULL LIMIT ?"), {kBatch});
    if (!stale)
        return stale.error();
    std::vector<StaleTitle> batch;
    while ((*stale)->next())
        batch.push_back({(*stale)->integer(0), (*stale)->text(1)});
    if (!(*stale)->status())
        return (*stale)->status().error();
    return batch;
}

DbStatus keyStaleTitles() {
    auto store =
        SqliteStatement::prepare(QStringLiteral("UPDATE [Book] SET [TitleOrder] = ? WHERE [BookId] = ?"));
    if (!store)
        return store.error();
    for (;;) {
        auto batch = nextStaleBatch();
        if (!batch)
            return batch.error();
        if (batch->empty())
            return {};
        for (const StaleTitle& stale : *batch) {
            // A null title still gets a key, so that the row is not read again and again.
            if (DbStatus bound = (*store)->rebind({TitleOrderKey(stale.title), stale.bookId}); !bound)
                return bound;
            (*store)->next();
            if (!(*store)->status())
                return (*store)->status();
        }
    }
}

} // namespace

QByteArray TitleOrderKey(QStringView title) {
    return ReadingOrder::forUser().sortKey(title);
}

DbStatus AddTitleOrder() {
    const auto present = ColumnExists(QStringLiteral("Book"), QStringLiteral("TitleOrder"));
    if (!present)
        return present.error();
    QStringList statements;
    if (!*present)
        statements << QStringLiteral("ALTER TABLE [Book] ADD COLUMN [TitleOrder] BLOB");
    statements << QStringLiteral("CREATE INDEX IF NOT EXISTS [Book_TitleOrder] ON [Book] ([TitleOrder])");
    for (const char* column : {"AuthorId", "SubjectId", "LocationId", "Pages", "Copyright", "Stars"})
        statements << QStringLiteral("CREATE INDEX IF NOT EXISTS [Book_%1] ON [Book] ([%1])").arg(QLatin1String(column));
    // The title's own collation ignores letter case, which the order does not: compare bytes.
    statements << QStringLiteral(
                      "CREATE TRIGGER IF NOT EXISTS [Book_TitleOrderStale] AFTER UPDATE OF [Title] ON [Book] "
                      "WHEN new.[TitleOrder] IS old.[TitleOrder] AND new.[Title] IS NOT old.[Title] COLLATE BINARY "
                      "BEGIN UPDATE [Book] SET [TitleOrder] = NULL WHERE [BookId] = new.[BookId]; END")
               << QStringLiteral("CREATE TABLE IF NOT EXISTS [TitleOrderLocale] ([Locale] TEXT NOT NULL)");
    for (const QString& statement : statements) {
        if (DbStatus done = gConn.execute(statement); !done)
            return done;
    }
    return RepairTitleOrder();
}

DbResult<bool> TitleOrderCurrent() {
    const auto present = ColumnExists(QStringLiteral("Book"), QStringLiteral("TitleOrder"));
    if (!present || !*present)
        return present;
    auto follows = keysFollowUserOrder();
    if (!follows || !*follows)
        return follows;
    auto stale = staleKeysLeft();
    if (!stale)
        return stale.error();
    return !*stale;
}

DbStatus RepairTitleOrder() {
    if (gConn.isReadOnly())
        return {};
    auto current = TitleOrderCurrent();
    if (!current)
        return current.error();
    if (*current)
        return {};
    const auto present = ColumnExists(QStringLiteral("Book"), QStringLiteral("TitleOrder"));
    if (!present || !*present)
        return DbStatus::of(present);
    const bool nested = gConn.inTransaction();
    std::optional<Transaction> transaction;
    if (!nested) {
        transaction.emplace(gConn);
        if (!transaction->started())
            return transaction->started();
    }
    auto follows = keysFollowUserOrder();
    if (!follows)
        return follows.error();
    if (!*follows) {
        if (DbStatus forgot = forgetOtherOrder(); !forgot)
            return forgot;
    }
    if (DbStatus keyed = keyStaleTitles(); !keyed)
        return keyed;
    return transaction ? transaction->commit() : DbStatus();
}
