#include "db/Schema.h"

#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/SortKeys.h"

namespace {

QStringList lookupTable(const QString& table) {
    const QString id = table + QStringLiteral("Id");
    return {
        QStringLiteral("CREATE TABLE [%1] ([%2] INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
                       "[Name] VARCHAR(50) COLLATE NOCASE NOT NULL)")
            .arg(table, id),
        QStringLiteral("CREATE INDEX [%1_PrimaryKey] ON [%1] ([%2])").arg(table, id),
        QStringLiteral("CREATE INDEX [%1_Name] ON [%1] ([Name])").arg(table),
    };
}

} // namespace

QStringList CatalogueTableNames() {
    return {QStringLiteral("Award"),  QStringLiteral("Subject"), QStringLiteral("Location"),
            QStringLiteral("Format"), QStringLiteral("Book"),    QStringLiteral("BookAward"),
            QStringLiteral("Rating"), QStringLiteral("Author"),  QStringLiteral("Version")};
}

QStringList CatalogueColumns(const QString& table) {
    if (table == QStringLiteral("Book"))
        return {QStringLiteral("BookId"),      QStringLiteral("SubjectId"),   QStringLiteral("LocationId"),
                QStringLiteral("FormatId"),    QStringLiteral("RatingId"),    QStringLiteral("AuthorId"),
                QStringLiteral("Title"),       QStringLiteral("LabelNumber"), QStringLiteral("Publisher"),
                QStringLiteral("Copyright"),   QStringLiteral("Pages"),       QStringLiteral("Stars"),
                QStringLiteral("AcquireDate"), QStringLiteral("Cost"),        QStringLiteral("LentTo"),
                QStringLiteral("LentDate"),    QStringLiteral("Notes")};
    if (table == QStringLiteral("BookAward"))
        return {QStringLiteral("BookId"), QStringLiteral("AwardId")};
    if (table == QStringLiteral("Version"))
        return {QStringLiteral("Version")};
    return {table + QStringLiteral("Id"), QStringLiteral("Name")};
}

QStringList SchemaStatements() {
    QStringList statements;
    statements << lookupTable(QStringLiteral("Award")) << lookupTable(QStringLiteral("Subject"))
               << lookupTable(QStringLiteral("Location")) << lookupTable(QStringLiteral("Format"));
    statements << QStringLiteral("CREATE TABLE [Book] ("
                                 "[BookId] INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
                                 "[SubjectId] INTEGER NOT NULL, "
                                 "[LocationId] INTEGER NOT NULL, "
                                 "[FormatId] INTEGER NOT NULL, "
                                 "[RatingId] INTEGER NOT NULL, "
                                 "[AuthorId] INTEGER, "
                                 "[Title] VARCHAR(100) COLLATE NOCASE NOT NULL, "
                                 "[LabelNumber] VARCHAR(50) COLLATE NOCASE NOT NULL, "
                                 "[Publisher] VARCHAR(100) COLLATE NOCASE, "
                                 "[Copyright] INTEGER NOT NULL, "
                                 "[Pages] INTEGER NOT NULL, "
                                 "[Stars] REAL NOT NULL, "
                                 "[AcquireDate] TEXT NOT NULL, "
                                 "[Cost] REAL NOT NULL, "
                                 "[LentTo] VARCHAR(50) COLLATE NOCASE, "
                                 "[LentDate] TEXT NOT NULL, "
                                 "[Notes] VARCHAR(255) COLLATE NOCASE)")
               << QStringLiteral("CREATE INDEX [Book_PrimaryKey] ON [Book] ([BookId])")
               << QStringLiteral("CREATE INDEX [Book_Title] ON [Book] ([Title])");
    statements << QStringLiteral("CREATE TABLE [BookAward] ([BookId] INTEGER NOT NULL, "
                                 "[AwardId] INTEGER NOT NULL)")
               << QStringLiteral("CREATE INDEX [BookAward_PrimaryKey] ON [BookAward] ([BookId], [AwardId])");
    statements << lookupTable(QStringLiteral("Rating")) << lookupTable(QStringLiteral("Author"));
    statements << QStringLiteral("CREATE TABLE [Version] ([Version] INTEGER NOT NULL)");
    return statements;
}

namespace {

// The book's ISBN (13 digits, empty when unknown) and its cover picture. The cover goes with its
// book through a trigger, so every path that deletes books, the sqlite3 tool's included, drops it.
DbStatus addIsbnAndCovers() {
    const auto hasIsbn = ColumnExists(QStringLiteral("Book"), QStringLiteral("ISBN"));
    if (!hasIsbn)
        return hasIsbn.error();
    QStringList statements;
    if (!*hasIsbn)
        statements << QStringLiteral("ALTER TABLE [Book] ADD COLUMN [ISBN] VARCHAR(13) NOT NULL DEFAULT ''");
    statements << QStringLiteral("CREATE INDEX IF NOT EXISTS [Book_ISBN] ON [Book] ([ISBN])")
               << QStringLiteral(
                      "CREATE TABLE IF NOT EXISTS [BookCover] ([BookId] INTEGER PRIMARY KEY NOT NULL, "
                      "[Image] BLOB NOT NULL)")
               << QStringLiteral("CREATE TRIGGER IF NOT EXISTS [Book_DeleteCover] AFTER DELETE ON [Book] "
                                 "BEGIN DELETE FROM [BookCover] WHERE [BookId] = old.[BookId]; END");
    for (const QString& statement : statements) {
        if (DbStatus status = gConn.execute(statement); !status)
            return status;
    }
    return {};
}

} // namespace

const std::vector<SchemaStep>& SchemaSteps() {
    static const std::vector<SchemaStep> steps = {
        {1, AddNameKeys},
        {2, addIsbnAndCovers},
        {3, AddSortKeys},
    };
    return steps;
}
