#include "app/Leftovers.h"

#include "app/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// Held by every program for the moment it sets its mark and looks for others, so that a program
// starting meanwhile cannot begin writing files the first one is about to remove.
constexpr int kRegistryWaitMs = 10000;

QString marksFolder() {
    return SpoolFolder();
}

QString markOf(qint64 pid) {
    return marksFolder() + QStringLiteral("/tomekeep-%1.lock").arg(pid);
}

bool heldByLiveProgram(const QString& mark) {
    QLockFile other(mark);
    // Only a mark whose program has ended is stale, however old it is.
    other.setStaleLockTime(0);
    if (other.tryLock(0)) {
        other.unlock(); // removes the stale mark
        return false;
    }
    return other.error() == QLockFile::LockFailedError;
}

void removeFiles(const QDir& folder, const QStringList& names) {
    for (const QString& name : names)
        QFile::remove(folder.filePath(name));
}

} // namespace

RunningProgram::RunningProgram()
    : m_mark(markOf(QCoreApplication::applicationPid())) {
    QLockFile registry(marksFolder() + QStringLiteral("/registry.lock"));
    const bool registryHeld = registry.tryLock(kRegistryWaitMs);
    // A mark under this program's number is from an earlier run that had the same number.
    QFile::remove(m_mark.fileName());
    m_mark.setStaleLockTime(0);
    if (m_mark.tryLock(0) && registryHeld && !OtherProgramRunning(m_mark.fileName()))
        RemoveLeftovers();
}

bool OtherProgramRunning(const QString& ownMark) {
    const QFileInfo own(ownMark);
    const QDir folder(marksFolder());
    for (const QFileInfo& mark : folder.entryInfoList({QStringLiteral("tomekeep-*.lock")}, QDir::Files)) {
        if (mark != own && heldByLiveProgram(mark.filePath()))
            return true;
    }
    return false;
}

void RemoveLeftovers() {
    const QDir data(DataFolder());
    removeFiles(data, data.entryList({QStringLiteral("*.creating"), QStringLiteral("*.creating-journal"),
                                      QStringLiteral("*.creating-wal"), QStringLiteral("*.creating-shm")},
                                     QDir::Files));
    // Report files are named by eight digits; nothing else in the folder is touched.
    const QDir spool(SpoolFolder());
    removeFiles(spool, spool.entryList({QStringLiteral("*.tmp")}, QDir::Files)
                           .filter(QRegularExpression(QStringLiteral("^[0-9]{8}\\.tmp$"))));
}
