#pragma once

#include "lookups/LookupLists.h"
#include "lookups/Pickers.h"

#include <QDialog>
#include <variant>

class QListWidget;
class QLineEdit;
class QPushButton;

// How one picker differs from the others.
struct PickerMember {
    PickerKind kind;
    QString objectName;
    QString caption;
    LookupList list;    // the table listed, whose name dialog adds a new name
    QString addCaption; // caption of cmdAdd; empty when the picker cannot add
};

const PickerMember& PickerMemberOf(PickerKind which);

// Where the chosen name goes: appended to an award list, or written into a text box.
using PickerTarget = std::variant<QListWidget*, QLineEdit*>;

// A picker (frmSelectAward, frmLookupSubject, ...): the names of one lookup table; Select
// (Enter, double-click) hands the selected name on and closes, Cancel (Esc) closes. The select
// pickers also add a new name through the table's name dialog (Add, or Insert anywhere).
class frmPicker : public QDialog, public ListWindow {
    Q_OBJECT
public:
    frmPicker(const PickerMember& member, PickerTarget target, QWidget* parent = nullptr);

    void PopulateLstData() override;

    QListWidget* lstData = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdClose = nullptr;
    // Only in the select pickers.
    QPushButton* cmdAdd = nullptr;

private:
    void cmdSelect_Click();
    void cmdAdd_Click();
    void deliver(const QString& name);

    const PickerMember& m_member;
    PickerTarget m_target;
};
