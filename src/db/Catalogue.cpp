#include "db/Catalogue.h"

#include "app/Paths.h"
#include "app/Settings.h"
#include "db/Connection.h"
#include "db/NameKeys.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/ScopedPragma.h"
#include "db/SeedData.h"
#include "db/SortKeys.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>

QString gDBName = QStringLiteral("BIBLIO");
QString gCatalogueFile;

namespace {

const QString kStandardName = QStringLiteral("BIBLIO");

// Engine error numbers for conditions the program detects itself.
constexpr int kErrorCannotOpen = 14;   // as SQLite's "unable to open database file"
constexpr int kErrorNotCatalogue = 26; // as SQLite's "file is not a database"

template <std::size_t N>
DbStatus insertNames(const QString& table, const std::array<const char*, N>& names) {
    const QString sql = u"INSERT INTO [" + table + u"] ([Name]) VALUES (?)";
    for (const char* name : names) {
        if (DbStatus status = gConn.execute(sql, {QString::fromUtf8(name)}); !status)
            return status;
    }
    return {};
}

DbResult<int> firstIdByName(const QString& table) {
    auto first = Recordset::open(u"SELECT [" + table + u"Id] FROM [" + table +
                                 u"] ORDER BY [Name] COLLATE READING LIMIT 1");
    if (!first)
        return first.error();
    return first->eof() ? 0 : first->field(0).toInt();
}

DbStatus insertSampleBook() {
    BookFields book;
    const auto subject = firstIdByName(QStringLiteral("Subject"));
    const auto location = firstIdByName(QStringLiteral("Location"));
    const auto format = firstIdByName(QStringLiteral("Format"));
    const auto rating = firstIdByName(QStringLiteral("Rating"));
    const auto author = firstIdByName(QStringLiteral("Author"));
    for (const auto* id : {&subject, &location, &format, &rating, &author}) {
        if (!id->ok())
            return id->error();
    }
    const QDate today = QDate::currentDate();
    book.subjectId = *subject;
    book.locationId = *location;
    book.formatId = *format;
    book.ratingId = *rating;
    book.authorId = *author;
    book.title = QStringLiteral("Sample Book #1");
    book.labelNumber = QStringLiteral("ABC");
    book.publisher = QStringLiteral("Sample Publisher");
    book.copyright = today.year();
    book.pages = 90;
    book.stars = 3.5;
    book.acquireDate = today.addDays(-30);
    book.cost = Money::fromUnits(199500);
    book.lentTo = QStringLiteral("John Doe");
    book.lentDate = today.addDays(-3);
    book.notes = QStringLiteral("Sample notes");
    auto bookId = InsertBook(book);
    if (!bookId)
        return bookId.error();
    if (*bookId != -1) {
        for (int awardId : {1, 2}) {
            if (DbStatus status = AddBookAward(*bookId, awardId); !status)
                return status;
        }
    }
    return {};
}

// Makes one addition to the schema and counts it; the caller holds the transaction.
DbStatus applySchemaStep(const SchemaStep& step) {
    if (DbStatus applied = step.apply(); !applied)
        return applied;
    return gConn.execute(QStringLiteral("PRAGMA user_version = %1").arg(step.number));
}

DbStatus buildCatalogue() {
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started();
    for (const QString& statement : SchemaStatements()) {
        if (DbStatus status = gConn.execute(statement); !status)
            return status;
    }
    // A new catalogue is born with every later addition to the schema.
    for (const SchemaStep& step : SchemaSteps()) {
        if (DbStatus status = applySchemaStep(step); !status)
            return status;
    }
    for (const DbStatus& status : {insertNames(QStringLiteral("Author"), seed::kAuthors),
                                   insertNames(QStringLiteral("Award"), seed::kAwards),
                                   insertNames(QStringLiteral("Location"), seed::kLocations),
                                   insertNames(QStringLiteral("Subject"), seed::kSubjects),
                                   insertNames(QStringLiteral("Format"), seed::kFormats),
                                   insertNames(QStringLiteral("Rating"), seed::kRatings)}) {
        if (!status)
            return status;
    }
    if (DbStatus status = RepairAllNameKeys(); !status)
        return status;
    if (DbStatus status = insertSampleBook(); !status)
        return status;
    return transaction.commit();
}

void removeWithSideFiles(const QString& file) {
    QFile::remove(file);
    for (const QString& side : CatalogueSideFiles(file))
        QFile::remove(side);
}

DbError notCatalogue(const QString& missing) {
    return DbError{kErrorNotCatalogue, QStringLiteral("%1 is not a Tomekeep catalogue: it has no %2")
                                           .arg(QDir::toNativeSeparators(gConn.filePath()), missing)};
}

DbResult<QStringList> lowerCaseNames(const QString& sql, const QVariantList& params = {}) {
    auto rows = Recordset::open(sql, params);
    if (!rows)
        return rows.error();
    QStringList names;
    for (; !rows->eof(); rows->moveNext())
        names << rows->text(0).toLower();
    return names;
}

// Whether the open file can take no writes: the engine refuses a write that changes nothing
// (a file without write access), or no journal could be made beside it (its folder). A lock
// held by another program means the file is being written, so it can be.
bool refusesWriting() {
    constexpr int kReadOnly = 8; // SQLite's "attempt to write a readonly database"
    if (!QFileInfo(QFileInfo(gConn.filePath()).absolutePath()).isWritable())
        return true;
    const auto version = SchemaStepsDone();
    if (!version)
        return false;
    const ScopedPragma noWaiting(QStringLiteral("busy_timeout"), 0);
    const Transaction probe(gConn); // rolled back as it ends
    if (!probe.started())
        return false;
    const DbStatus written = gConn.execute(QStringLiteral("PRAGMA user_version = %1").arg(*version));
    return !written && (written.error().number & 0xff) == kReadOnly;
}

// Only reads: a file that is not a catalogue is refused as it is.
DbStatus checkIsCatalogue() {
    const auto tables =
        lowerCaseNames(QStringLiteral("SELECT [name] FROM [sqlite_master] WHERE [type] = 'table'"));
    if (!tables)
        return tables.error();
    for (const QString& table : CatalogueTableNames()) {
        if (!tables->contains(table.toLower()))
            return notCatalogue(QStringLiteral("table ") + table);
        const auto columns =
            lowerCaseNames(QStringLiteral("SELECT [name] FROM pragma_table_info(?)"), {table});
        if (!columns)
            return columns.error();
        for (const QString& column : CatalogueColumns(table)) {
            if (!columns->contains(column.toLower()))
                return notCatalogue(QStringLiteral("column %1.%2").arg(table, column));
        }
    }
    return {};
}

} // namespace

QString KeepAlphaNumeric(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            kept.append(c);
    }
    return kept;
}

QString CleanCatalogueName(const QString& text) {
    const QString cleaned = KeepAlphaNumeric(text.trimmed().toUpper()).left(kMaxCatalogueNameLength);
    return cleaned.isEmpty() ? kStandardName : cleaned;
}

void ReadDBName() {
    gDBName = CleanCatalogueName(GetSetting(QStringLiteral("DBName"), kStandardName));
}

QString CatalogueFile() {
    return gCatalogueFile.isEmpty() ? CatalogueFilePath(gDBName) : gCatalogueFile;
}

QString CatalogueDisplayName() {
    return gCatalogueFile.isEmpty() ? gDBName : QFileInfo(gCatalogueFile).completeBaseName();
}

QString NamedCatalogueOf(const QString& file) {
    const QFileInfo info(file);
    const QString name = info.completeBaseName();
    if (name != CleanCatalogueName(name) || info.suffix() != QStringLiteral("sqlite"))
        return {};
    return QFileInfo(CatalogueFilePath(name)) == info ? name : QString();
}

void UseCatalogueFile(const QString& file) {
    const QString name = NamedCatalogueOf(file);
    if (name.isEmpty()) {
        gCatalogueFile = QFileInfo(file).absoluteFilePath();
        return;
    }
    gCatalogueFile.clear();
    gDBName = name;
    SaveSetting(QStringLiteral("DBName"), name);
}

DbStatus CreateDatabase() {
    const QString target = CatalogueFile();
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    // A unique name beside the target: the same file system, so the final move is a rename.
    QTemporaryFile reserve(folder + u'/' + targetInfo.completeBaseName() +
                           QStringLiteral(".XXXXXX.creating"));
    if (!reserve.open())
        return DbError{kErrorCannotOpen, QStringLiteral("Cannot create a file in %1: %2")
                                             .arg(QDir::toNativeSeparators(folder), reserve.errorString())};
    const QString building = reserve.fileName();
    reserve.close();
    reserve.setAutoRemove(false);
    QFile::remove(building);

    gConn.close();
    DbStatus status = gConn.open(building, Connection::OpenMode::CreateFile);
    if (status)
        status = buildCatalogue();
    gConn.close();
    if (status && QFile::exists(target))
        status = DbError{kErrorCannotOpen, QStringLiteral("%1 appeared while the catalogue was being created")
                                               .arg(QDir::toNativeSeparators(target))};
    if (status && !QFile::rename(building, target))
        status = DbError{
            kErrorCannotOpen,
            QStringLiteral("Cannot move the new catalogue to %1").arg(QDir::toNativeSeparators(target))};
    if (!status)
        removeWithSideFiles(building);
    return status;
}

DbStatus OpenDatabase() {
    const QString path = CatalogueFile();
    if (!QFileInfo::exists(path)) {
        if (DbStatus created = CreateDatabase(); !created)
            return created;
    }
    return OpenCatalogueFile(path);
}

DbStatus OpenCatalogueFile(const QString& path) {
    if (DbStatus opened = gConn.open(path, Connection::OpenMode::ExistingFile); !opened)
        return opened;
    // A catalogue the user may only read is opened so that the engine never tries to write it.
    if (refusesWriting()) {
        if (DbStatus opened = gConn.open(path, Connection::OpenMode::ReadOnlyFile); !opened)
            return opened;
    }
    if (DbStatus checked = checkIsCatalogue(); !checked) {
        gConn.close();
        return checked;
    }
    return {};
}

DbResult<int> SchemaStepsDone() {
    auto done = Recordset::open(QStringLiteral("PRAGMA user_version"));
    if (!done)
        return done.error();
    return done->eof() ? 0 : done->field(0).toInt();
}

DbResult<int> SchemaStepsMissing() {
    const auto done = SchemaStepsDone();
    if (!done)
        return done.error();
    return static_cast<int>(std::count_if(SchemaSteps().cbegin(), SchemaSteps().cend(),
                                          [&done](const SchemaStep& step) { return step.number > *done; }));
}

DbResult<bool> ColumnExists(const QString& table, const QString& column) {
    auto columns = Recordset::open(QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE [name] = ?"),
                                   {table, column});
    if (!columns)
        return columns.error();
    return !columns->eof();
}

DbStatus UpdateDatabase() {
    auto version = Recordset::open(QStringLiteral("SELECT [Version] FROM [Version]"));
    if (!version)
        return version.error();
    // The Version table's value never changes a catalogue. What this program has added to the
    // catalogue since its first release is counted in SQLite's own user_version instead, so a
    // catalogue from any earlier release is brought up to date here, once, step by step.
    auto done = SchemaStepsDone();
    if (!done)
        return done.error();
    // A catalogue that may only be read keeps the schema it has (SchemaStepsMissing tells).
    if (gConn.isReadOnly())
        return {};
    for (const SchemaStep& step : SchemaSteps()) {
        if (step.number <= *done)
            continue;
        Transaction transaction(gConn);
        if (!transaction.started())
            return transaction.started();
        if (DbStatus applied = applySchemaStep(step); !applied)
            return applied;
        if (DbStatus committed = transaction.commit(); !committed)
            return committed;
    }
    // Rows another tool added or renamed while the program was away get their keys now.
    Transaction transaction(gConn);
    if (!transaction.started())
        return transaction.started();
    if (DbStatus repaired = RepairAllNameKeys(); !repaired)
        return repaired;
    if (DbStatus ordered = RepairSortKeys(); !ordered)
        return ordered;
    return transaction.commit();
}

DbStatus DeleteCatalogueFiles() {
    const QString path = CatalogueFile();
    if (QFile::exists(path) && !QFile::remove(path))
        return DbError{kErrorCannotOpen,
                       QStringLiteral("Cannot delete %1").arg(QDir::toNativeSeparators(path))};
    for (const QString& side : CatalogueSideFiles(path))
        QFile::remove(side);
    return {};
}
