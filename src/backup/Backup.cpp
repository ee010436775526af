#include "backup/Backup.h"

#include "app/Paths.h"
#include "app/Prompts.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/SqliteHandle.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <utility>

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
constexpr int kBusyRetries = 50;
constexpr int kBusyWaitMs = 100;

struct EngineCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using EngineFile = std::unique_ptr<sqlite3, EngineCloser>;
using EngineStatement = std::unique_ptr<sqlite3_stmt, EngineCloser>;

DbError engineError(sqlite3* db, int code) {
    const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    return DbError{code, QString::fromUtf8(text)};
}

DbResult<EngineFile> openFile(const QString& file, int flags) {
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    EngineFile owned(db);
    if (opened != SQLITE_OK) {
        DbError error = engineError(db, opened);
        error.description += QStringLiteral(": ") + QDir::toNativeSeparators(file);
        return error;
    }
    sqlite3_busy_timeout(db, kBusyRetries * kBusyWaitMs);
    return DbResult<EngineFile>(std::move(owned));
}

// Copies every page of one database into another. A writer elsewhere makes the engine start
// over or wait; both are retried for a while before giving up.
DbStatus copyPages(sqlite3* from, sqlite3* to) {
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return engineError(to, sqlite3_errcode(to));
    int stepped = SQLITE_OK;
    for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
        stepped = sqlite3_backup_step(backup, -1);
        if (stepped != SQLITE_BUSY && stepped != SQLITE_LOCKED)
            break;
        QThread::msleep(kBusyWaitMs);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        return engineError(to, stepped);
    if (finished != SQLITE_OK)
        return engineError(to, finished);
    return {};
}

DbStatus copyInto(const QString& backupFile, const QString& catalogueFile) {
    auto backup = openFile(backupFile, SQLITE_OPEN_READONLY);
    if (!backup)
        return backup.error();
    auto catalogue = openFile(catalogueFile, SQLITE_OPEN_READWRITE);
    if (!catalogue)
        return catalogue.error();
    return copyPages(backup->get(), catalogue->get());
}

void removeWithSideFiles(const QString& file) {
    QFile::remove(file);
    for (const QString& side : CatalogueSideFiles(file))
        QFile::remove(side);
}

} // namespace

QString BackupFolder() {
    const QString folder = DataFolder() + QStringLiteral("/Backups");
    QDir().mkpath(folder);
    return folder;
}

QString BackupFileName(const QString& catalogueName, const QDateTime& made) {
    return catalogueName + u'-' + made.toString(kStampFormat) + QStringLiteral(".sqlite");
}

std::vector<BackupFile> ListBackups(const QString& folder, const QString& catalogueName) {
    const QRegularExpression pattern(u'^' + QRegularExpression::escape(catalogueName) +
                                     QStringLiteral("-(\\d{8}-\\d{6})\\.sqlite$"));
    std::vector<BackupFile> found;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), kStampFormat);
        if (made.isValid())
            found.push_back({dir.filePath(name), made});
    }
    std::sort(found.begin(), found.end(),
              [](const BackupFile& left, const BackupFile& right) { return left.made > right.made; });
    return found;
}

void PruneBackups(const QString& folder, const QString& catalogueName, int keep) {
    const std::vector<BackupFile> backups = ListBackups(folder, catalogueName);
    for (size_t i = static_cast<size_t>(std::max(keep, 0)); i < backups.size(); ++i)
        removeWithSideFiles(backups[i].path);
}

DbStatus BackupCatalogueTo(const QString& file) {
    sqlite3* open = SqliteHandle(gConn.database());
    if (!open)
        return DbError{SQLITE_MISUSE, QStringLiteral("No catalogue is open")};
    const QString partial = file + QStringLiteral(".partial");
    removeWithSideFiles(partial);
    DbStatus copied;
    {
        auto target = openFile(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        copied = target ? copyPages(open, target->get()) : DbStatus(target.error());
    }
    if (copied && QFile::exists(file) && !QFile::remove(file))
        copied =
            DbError{SQLITE_CANTOPEN, QStringLiteral("Cannot replace %1").arg(QDir::toNativeSeparators(file))};
    if (copied && !QFile::rename(partial, file))
        copied = DbError{SQLITE_CANTOPEN,
                         QStringLiteral("Cannot move the backup to %1").arg(QDir::toNativeSeparators(file))};
    if (!copied)
        removeWithSideFiles(partial);
    return copied;
}

DbResult<QString> BackUpCatalogue(const QDateTime& made, int keep) {
    const QString folder = BackupFolder();
    const QString name = CatalogueDisplayName();
    QDateTime stamp = made;
    QString file = QDir(folder).filePath(BackupFileName(name, stamp));
    while (QFile::exists(file)) {
        stamp = stamp.addSecs(1);
        file = QDir(folder).filePath(BackupFileName(name, stamp));
    }
    if (DbStatus copied = BackupCatalogueTo(file); !copied)
        return copied.error();
    PruneBackups(folder, name, keep);
    return file;
}

bool DailyBackupDue(const QDate& today) {
    const std::vector<BackupFile> backups = ListBackups(BackupFolder(), CatalogueDisplayName());
    return backups.empty() || backups.front().made.date() < today;
}

void DailyBackup() {
    if (!DailyBackupDue())
        return;
    if (const auto made = BackUpCatalogue(); !made)
        prompts().tell(QStringLiteral("Backup"),
                       QStringLiteral("Today's backup of the book database could not be made.\n\n") +
                           made.error().messageText(),
                       PromptIcon::Warning);
}

bool BackUpBeforeChange(int keep) {
    const auto made = BackUpCatalogue(QDateTime::currentDateTime(), keep);
    if (!made)
        TellError(QStringLiteral("The book database could not be backed up, so nothing was changed.\n\n") +
                  made.error().messageText());
    return made.ok();
}

DbResult<qint64> BackupBookCount(const QString& file) {
    auto backup = openFile(file, SQLITE_OPEN_READONLY);
    if (!backup)
        return backup.error();
    sqlite3_stmt* raw = nullptr;
    const int prepared = sqlite3_prepare_v2(backup->get(), "SELECT COUNT(*) FROM [Book]", -1, &raw, nullptr);
    const EngineStatement count(raw);
    if (prepared != SQLITE_OK)
        return engineError(backup->get(), prepared);
    if (const int stepped = sqlite3_step(count.get()); stepped != SQLITE_ROW)
        return engineError(backup->get(), stepped);
    return static_cast<qint64>(sqlite3_column_int64(count.get(), 0));
}

DbStatus RestoreCatalogueFrom(const QString& file) {
    // The open connection keeps statements of its own; the copy goes through connections of its
    // own, so nothing of the program holds the catalogue while its pages are replaced.
    // A file that holds no books table is no backup: the catalogue is not touched.
    if (const auto books = BackupBookCount(file); !books)
        return books.error();
    gConn.close();
    DbStatus restored = copyInto(file, CatalogueFile());
    if (DbStatus opened = OpenDatabase(); !opened)
        return restored ? opened : restored;
    if (DbStatus updated = UpdateDatabase(); !updated && restored)
        return updated;
    return restored;
}
