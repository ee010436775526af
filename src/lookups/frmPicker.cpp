#include "lookups/frmPicker.h"

#include "app/Modal.h"
#include "db/NameKeys.h"
#include "lookups/DialogSupport.h"
#include "lookups/frmLookupName.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace {

const std::array<PickerMember, 5>& members() {
    static const std::array<PickerMember, 5> table = {{
        {PickerKind::SelectAward, u"frmSelectAward"_qs, u"Select Award"_qs, LookupList::Awards,
         u"&Add New Award"_qs},
        {PickerKind::SelectAuthor, u"frmSelectAuthor"_qs, u"Select Author"_qs, LookupList::Authors,
         u"&Add New Author"_qs},
        {PickerKind::LookupAward, u"frmLookupAward"_qs, u"Lookup Award"_qs, LookupList::Awards, {}},
        {PickerKind::LookupSubject, u"frmLookupSubject"_qs, u"Lookup Subject"_qs, LookupList::Subjects, {}},
        {PickerKind::LookupLocation,
         u"frmLookupLocation"_qs,
         u"Lookup Location"_qs,
         LookupList::Locations,
         {}},
    }};
    return table;
}

int showPicker(PickerKind which, QWidget* parent, PickerTarget target) {
    frmPicker picker(PickerMemberOf(which), target, parent);
    return RunModal(picker);
}

} // namespace

const PickerMember& PickerMemberOf(PickerKind which) {
    return MemberOf(members(), &PickerMember::kind, which);
}

frmPicker::frmPicker(const PickerMember& member, PickerTarget target, QWidget* parent)
    : QDialog(parent)
    , m_member(member)
    , m_target(target) {
    SetUpWindow(*this, member.objectName, member.caption);
    lstData = MakeNameList(this);
    cmdSelect = MakeButton(QStringLiteral("&Select"), QStringLiteral("cmdSelect"), this);
    cmdSelect->setDefault(true);
    cmdClose = MakeButton(QStringLiteral("Cancel"), QStringLiteral("cmdClose"), this);

    auto* buttons = new QHBoxLayout;
    if (!member.addCaption.isEmpty()) {
        cmdAdd = MakeButton(member.addCaption, QStringLiteral("cmdAdd"), this);
        buttons->addWidget(cmdAdd);
        connect(cmdAdd, &QPushButton::clicked, this, &frmPicker::cmdAdd_Click);
    }
    buttons->addStretch();
    buttons->addWidget(cmdSelect);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstData, 1);
    layout->addLayout(buttons);

    connect(cmdSelect, &QPushButton::clicked, this, &frmPicker::cmdSelect_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstData, &QListWidget::itemDoubleClicked, this, &frmPicker::cmdSelect_Click);
    if (cmdAdd) {
        KeyPreview::install(*this, [this](int key) {
            if (key != Qt::Key_Insert)
                return false;
            cmdAdd_Click();
            return true;
        });
    }

    PopulateLstData();
}

void frmPicker::PopulateLstData() {
    FillNameList(*lstData, LookupMemberOf(m_member.list));
}

void frmPicker::cmdSelect_Click() {
    // With nothing to choose from the picker simply stays open.
    const std::optional<QString> name = SelectedName(*lstData);
    if (!name)
        return;
    deliver(*name);
    accept();
}

void frmPicker::cmdAdd_Click() {
    const LookupMember& table = LookupMemberOf(m_member.list);
    if (!table.lastAdded)
        return;
    table.lastAdded->clear();
    OpenNameDialog(table, this, this);
    if (table.lastAdded->isEmpty())
        return;
    deliver(*table.lastAdded);
    accept();
}

void frmPicker::deliver(const QString& name) {
    if (auto* const* awards = std::get_if<QListWidget*>(&m_target))
        AppendAwardUnlessPresent(**awards, name);
    else
        std::get<QLineEdit*>(m_target)->setText(name);
}

void AppendAwardUnlessPresent(QListWidget& lstAwards, const QString& award) {
    const QString wanted = NameKey(award.trimmed());
    for (int row = 0; row < lstAwards.count(); ++row) {
        if (NameKey(lstAwards.item(row)->text().trimmed()) == wanted)
            return;
    }
    lstAwards.addItem(award);
}

int ShowSelectAward(QWidget* parent, QListWidget& lstAwards) {
    return showPicker(PickerKind::SelectAward, parent, &lstAwards);
}

int ShowSelectAuthor(QWidget* parent, QLineEdit& txtAuthor) {
    return showPicker(PickerKind::SelectAuthor, parent, &txtAuthor);
}

int ShowLookupPicker(PickerKind which, QWidget* parent, QLineEdit& txtSearch) {
    return showPicker(which, parent, &txtSearch);
}
