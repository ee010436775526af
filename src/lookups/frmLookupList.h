#pragma once

#include "lookups/LookupLists.h"

#include <QDialog>

class QListWidget;
class QPushButton;

// The list window of a lookup table (frmRatings, frmSubjects, ...): every name in name order,
// with Add, Edit, Delete and Close. Enter edits, Insert adds and Delete deletes wherever the
// focus is; Esc closes.
class frmLookupList : public QDialog, public ListWindow {
    Q_OBJECT
public:
    frmLookupList(const LookupMember& member, QWidget* parent = nullptr);

    void PopulateLstData() override;

    QListWidget* lstData = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    bool Form_KeyDown(int key);

    const LookupMember& m_member;
};
