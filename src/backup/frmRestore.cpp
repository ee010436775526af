#include "backup/frmRestore.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "db/Catalogue.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Restore from Backup");

QString madeText(const QDateTime& made) {
    return made.toString(QStringLiteral("MM/dd/yyyy HH:mm:ss"));
}

QString bookCountText(const QString& file) {
    const auto books = BackupBookCount(file);
    return books ? QString::number(*books) : QStringLiteral("unreadable");
}

} // namespace

void ShowRestoreFromBackup(QWidget* parent, const std::function<void()>& populateList) {
    std::vector<BackupFile> backups = ListBackups(BackupFolder(), CatalogueDisplayName());
    if (backups.empty()) {
        prompts().tell(kTitle, QStringLiteral("There is no backup of '%1' yet.").arg(CatalogueDisplayName()));
        return;
    }
    frmRestore window(parent, std::move(backups), populateList);
    RunModal(window);
}

frmRestore::frmRestore(QWidget* parent, std::vector<BackupFile> backups, std::function<void()> populateList)
    : QDialog(parent)
    , m_backups(std::move(backups))
    , m_populateList(std::move(populateList)) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(kTitle);
    if (parent)
        setWindowIcon(parent->windowIcon());
    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    lstBackups->setRootIsDecorated(false);
    lstBackups->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Books")});
    for (const BackupFile& backup : m_backups)
        lstBackups->addTopLevelItem(new QTreeWidgetItem({madeText(backup.made), bookCountText(backup.path)}));
    lstBackups->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstBackups->setCurrentItem(lstBackups->topLevelItem(0));
    cmdRestore = new QPushButton(QStringLiteral("&Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstBackups);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(cmdRestore, &QPushButton::clicked, this, &frmRestore::cmdRestore_Click);
    connect(lstBackups, &QTreeWidget::itemDoubleClicked, this, &frmRestore::cmdRestore_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRestore::cmdRestore_Click() {
    const int row = lstBackups->indexOfTopLevelItem(lstBackups->currentItem());
    if (row < 0)
        return;
    const BackupFile& chosen = m_backups[static_cast<size_t>(row)];
    const QString made = madeText(chosen.made);
    if (prompts().ask(kTitle,
                      QStringLiteral("Replace the books of '%1' with the backup of %2?  The books as they "
                                     "are now are backed up first.")
                          .arg(CatalogueDisplayName(), made),
                      PromptButtons::YesNo, PromptIcon::Warning) != PromptAnswer::Yes)
        return;
    // One more than usual is kept until the restore is done: the chosen backup may be the oldest.
    if (!BackUpBeforeChange(kBackupsKept + 1))
        return;
    const DbStatus restored = RestoreCatalogueFrom(chosen.path);
    PruneBackups(BackupFolder(), CatalogueDisplayName());
    if (m_populateList)
        m_populateList();
    if (!restored) {
        TellError(restored.error().messageText());
        reject();
        return;
    }
    prompts().tell(
        kTitle, QStringLiteral("'%1' was restored from the backup of %2.").arg(CatalogueDisplayName(), made));
    accept();
}
