#pragma once

#include "backup/Backup.h"

#include <QDialog>
#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

// File, Restore from Backup: lists the backups of the catalogue in use, modal; populateList
// reloads the main window's list after a restore. Tells the user when there is no backup yet.
void ShowRestoreFromBackup(QWidget* parent, const std::function<void()>& populateList);

// The backups of the catalogue in use, newest first, with when each was made and how many books
// it holds; restores the chosen one after backing up the catalogue as it is.
class frmRestore : public QDialog {
    Q_OBJECT
public:
    frmRestore(QWidget* parent, std::vector<BackupFile> backups, std::function<void()> populateList);

    QTreeWidget* lstBackups = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdRestore_Click();

    std::vector<BackupFile> m_backups;
    std::function<void()> m_populateList;
};
