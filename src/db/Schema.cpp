#include "db/Schema.h"

#include "db/NameKeys.h"

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

const std::vector<SchemaStep>& SchemaSteps() {
    static const std::vector<SchemaStep> steps = {
        {1, AddNameKeys},
    };
    return steps;
}
