#pragma once

#include "support/TestMain.h"

#include <sys/fsuid.h>
#include <unistd.h>

// While it lives, this process may read the file but not write it, as a user without write
// access: its write permission is taken away, and for the administrator, whom permissions do
// not stop, files are reached as an ordinary user (who may pass through the folder).
class ReadOnlyAccess {
public:
    ReadOnlyAccess(const QString& file, const QString& folder)
        : m_file(file)
        , m_folder(folder)
        , m_filePermissions(QFile::permissions(file))
        , m_folderPermissions(QFile::permissions(folder)) {
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(folder, m_folderPermissions | QFile::ReadGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0)
            setfsuid(kOrdinaryUser);
    }
    ~ReadOnlyAccess() {
        if (geteuid() == 0)
            setfsuid(0);
        QFile::setPermissions(m_file, m_filePermissions);
        QFile::setPermissions(m_folder, m_folderPermissions);
    }
    ReadOnlyAccess(const ReadOnlyAccess&) = delete;
    ReadOnlyAccess& operator=(const ReadOnlyAccess&) = delete;

private:
    static constexpr uid_t kOrdinaryUser = 65534; // nobody
    QString m_file;
    QString m_folder;
    QFile::Permissions m_filePermissions;
    QFile::Permissions m_folderPermissions;
};
