#pragma once

#include "lookups/Pickers.h"
#include "search/Searches.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// How one search window differs from the others.
struct SearchMember {
    SearchKind kind;
    QString objectName;
    QString caption;
    QString label;
    QString boxName;       // objectName of the text box
    QString help;          // lblHelp, before the wildcard sentence
    QString settingsKey;   // the last text searched for
    int mode;              // gSearchMode on success
    QString* value;        // receives the text on success
    QString emptyMessage;  // when nothing but blanks was typed
    QString noMatchPrefix; // followed by the text as typed and "'."
    std::optional<PickerKind> lookup;
    QString lookupCaption; // cmdLookup, when there is a lookup picker
};

const SearchMember& SearchMemberOf(SearchKind kind);

// The wildcard sentence every help text ends with.
QString SearchWildcardHelp();

// A search window (frmSearchTitle, frmSearchNotes, ...): one text, remembered in the settings,
// tested against the catalogue before the book list is narrowed to it.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    frmSearch(const SearchMember& member, std::function<void()> populateList, QWidget* parent = nullptr);

    QLabel* lblSearch = nullptr;
    // Named txtTitle, txtLabel or txtSearch by kind, as the window's objectName says.
    QLineEdit* txtSearch = nullptr;
    QLabel* lblHelp = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdCancel = nullptr;
    // Only in the award, subject and location windows.
    QPushButton* cmdLookup = nullptr;

private:
    void cmdSearch_Click();
    void cmdLookup_Click();
    // Tells the user and puts the focus back into the text box.
    void refuse(const QString& message);
    void handOver(const QString& text, const QString& authorIds);

    const SearchMember& m_member;
    std::function<void()> m_populateList;
};
