#include "db/Schema.h"

#include "db/Catalogue.h"
#include "db/Connection.h"

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
                                 "[Notes] VARCHAR(255) COLLATE NOCASE, "
                                 "[ISBN] VARCHAR(13) NOT NULL DEFAULT '')")
               << QStringLiteral("CREATE INDEX [Book_PrimaryKey] ON [Book] ([BookId])")
               << QStringLiteral("CREATE INDEX [Book_Title] ON [Book] ([Title])")
               << QStringLiteral("CREATE INDEX [Book_ISBN] ON [Book] ([ISBN])");
    statements << QStringLiteral("CREATE TABLE [BookAward] ([BookId] INTEGER NOT NULL, "
                                 "[AwardId] INTEGER NOT NULL)")
               << QStringLiteral("CREATE INDEX [BookAward_PrimaryKey] ON [BookAward] ([BookId], [AwardId])");
    statements << lookupTable(QStringLiteral("Rating")) << lookupTable(QStringLiteral("Author"));
    statements << QStringLiteral("CREATE TABLE [Version] ([Version] INTEGER NOT NULL)");
    return statements;
}

namespace {

// Books carry their ISBN (13 digits, or empty) so that imports can find a book again.
DbStatus addIsbnColumn() {
    const auto exists = ColumnExists(QStringLiteral("Book"), QStringLiteral("ISBN"));
    if (!exists)
        return exists.error();
    if (!*exists) {
        if (DbStatus added = gConn.execute(
                QStringLiteral("ALTER TABLE [Book] ADD COLUMN [ISBN] VARCHAR(13) NOT NULL DEFAULT ''"));
            !added)
            return added;
    }
    return gConn.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS [Book_ISBN] ON [Book] ([ISBN])"));
}

} // namespace

const std::vector<SchemaStep>& SchemaSteps() {
    static const std::vector<SchemaStep> steps = {{2, addIsbnColumn}};
    return steps;
}
