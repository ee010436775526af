#include "lookups/frmLookupList.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "lookups/DialogSupport.h"
#include "lookups/LookupNames.h"
#include "lookups/frmLookupName.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A count as the pattern "###,##0" shows it: thousands always grouped.
QString groupedCount(qint64 count) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(count);
}

} // namespace

frmLookupList::frmLookupList(const LookupMember& member, QWidget* parent)
    : QDialog(parent)
    , m_member(member) {
    SetUpWindow(*this, member.listWindow, member.caption);
    lstData = MakeNameList(this);
    cmdAdd = MakeButton(QStringLiteral("&Add"), QStringLiteral("cmdAdd"), this);
    cmdEdit = MakeButton(QStringLiteral("&Edit"), QStringLiteral("cmdEdit"), this);
    cmdDelete = MakeButton(QStringLiteral("&Delete"), QStringLiteral("cmdDelete"), this);
    cmdClose = MakeButton(QStringLiteral("Close"), QStringLiteral("cmdClose"), this);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* each : {cmdAdd, cmdEdit, cmdDelete, cmdClose}) {
        // Enter belongs to Edit, whichever button has the focus.
        each->setAutoDefault(false);
        buttons->addWidget(each);
    }
    buttons->insertStretch(3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstData, 1);
    layout->addLayout(buttons);

    connect(cmdAdd, &QPushButton::clicked, this, &frmLookupList::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmLookupList::cmdEdit_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmLookupList::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstData, &QListWidget::itemDoubleClicked, this, &frmLookupList::cmdEdit_Click);
    KeyPreview::install(*this, [this](int key) { return Form_KeyDown(key); });

    PopulateLstData();
}

void frmLookupList::PopulateLstData() {
    FillNameList(*lstData, m_member);
}

bool frmLookupList::Form_KeyDown(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdEdit_Click();
        return true;
    case Qt::Key_Insert:
        cmdAdd_Click();
        return true;
    case Qt::Key_Delete:
        cmdDelete_Click();
        return true;
    default:
        return false;
    }
}

void frmLookupList::cmdAdd_Click() {
    OpenNameDialog(m_member, this, this);
}

void frmLookupList::cmdEdit_Click() {
    const std::optional<LookupRow> row = SelectedRow(*lstData);
    if (!row) {
        prompts().tell(QStringLiteral("Information"), QStringLiteral("Click on an item to edit."));
        return;
    }
    OpenNameDialog(m_member, this, this, *row);
}

void frmLookupList::cmdDelete_Click() {
    const std::optional<LookupRow> row = SelectedRow(*lstData);
    if (!row) {
        prompts().tell(QStringLiteral("Information"), QStringLiteral("Click on an item to delete."));
        return;
    }
    if (prompts().ask(QStringLiteral("Warning"), u"Delete '" + row->name + u"'?", PromptButtons::YesNoCancel,
                      PromptIcon::Warning, PromptAnswer::No) != PromptAnswer::Yes)
        return;
    const DbResult<LookupDeletion> deletion = DeleteLookupRow(m_member, row->id);
    if (!deletion) {
        ShowDbError(deletion.error());
        return;
    }
    if (deletion->usage > 0) {
        prompts().tell(QStringLiteral("Information"),
                       m_member.refusalText + groupedCount(deletion->usage) + u" books.");
        return;
    }
    PopulateLstData();
}

void ShowLookupList(LookupList which, QWidget* parent) {
    frmLookupList window(LookupMemberOf(which), parent);
    RunModal(window);
}
