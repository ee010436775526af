#pragma once

#include "db/DbResult.h"

#include <QDateTime>
#include <QString>
#include <vector>

// How many backups of one catalogue are kept; the oldest go first.
inline constexpr int kBackupsKept = 10;

// <data folder>/Backups, created when missing.
QString BackupFolder();
// "NAME-YYYYMMDD-HHMMSS.sqlite": the catalogue's name and the local time the backup was made.
QString BackupFileName(const QString& catalogueName, const QDateTime& made);

struct BackupFile {
    QString path;
    QDateTime made;
};
// The backups of one catalogue in a folder, newest first; every other file is left out.
std::vector<BackupFile> ListBackups(const QString& folder, const QString& catalogueName);
// Deletes all but the newest `keep` backups of the catalogue.
void PruneBackups(const QString& folder, const QString& catalogueName, int keep = kBackupsKept);

// Copies the open catalogue into `file` with the engine's online backup, so a catalogue in use
// is copied as one consistent whole. The file appears only once complete.
DbStatus BackupCatalogueTo(const QString& file);
// Backs the open catalogue up into the backup folder under its name, stamped `made` (a later
// second when that name is taken), and keeps the newest `keep`. Answers the backup file.
DbResult<QString> BackUpCatalogue(const QDateTime& made = QDateTime::currentDateTime(),
                                  int keep = kBackupsKept);
// True when the catalogue in use has no backup made on `today`.
bool DailyBackupDue(const QDate& today = QDate::currentDate());
// Backs up unless today's backup is there; a failure is told, and start-up goes on.
void DailyBackup();
// Before a command that changes many books at once: backs up, and tells the user when that
// failed. False means the command must not run.
bool BackUpBeforeChange(int keep = kBackupsKept);

// The number of books a backup holds, read without changing the file.
DbResult<qint64> BackupBookCount(const QString& file);
// Puts the backup's content in place of the catalogue in use, in one step that the engine's
// journal completes or undoes, then opens and updates the catalogue again (also after a failed
// copy, so that the program keeps a connection). Answers the first failure.
DbStatus RestoreCatalogueFrom(const QString& file);
