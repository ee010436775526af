#pragma once

#include "lookups/LookupNames.h"

#include <QDialog>
#include <QPixmap>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class ListWindow;
struct LookupMember;

// The name dialog of a lookup table (frmSubject, frmAward, ...): adds a new name or renames
// an existing one. Whoever opens it sets Mode, OldName, CallingForm, the text and the caption.
class frmLookupName : public QDialog {
    Q_OBJECT
public:
    frmLookupName(const LookupMember& member, QWidget* parent = nullptr);

    // "ADD" adds txtName; anything else renames OldName to it.
    QString Mode;
    QString OldName;
    // The row being renamed: another row may carry the same name.
    qint64 OldId = 0;
    // The window whose list is refilled after a save; may be null.
    ListWindow* CallingForm = nullptr;

    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    // Library catalogue lookup of the typed author; only in the author dialog.
    QLabel* imgInternet = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The name handed to the library catalogue lookup: "Surname, Given" becomes " Given Surname".
    static QString LookupText(const QString& typed);
    void cmdSave_Click();
    // Writes the name; false (the user has been told) when it is refused or the engine fails.
    bool saveName(const QString& name);
    void addInternetLookup();
    void imgInternet_Click();

    const LookupMember& m_member;
    QPixmap m_internetNormal;
    QPixmap m_internetHot;
};

// Opens the name dialog of the table modally: to add a name, or to rename the row when given.
int OpenNameDialog(const LookupMember& member, QWidget* parent, ListWindow* callingForm,
                   const std::optional<LookupRow>& old = std::nullopt);
