#pragma once

#include <QString>

class QWidget;

// The six lookup tables the books refer to by number.
enum class LookupList { Ratings, Subjects, Awards, Formats, Locations, Authors };

// How the list window and the name dialog of one lookup table differ from the others.
struct LookupMember {
    LookupList list;
    QString listWindow;     // objectName of the list window
    QString caption;        // list window caption
    QString nameDialog;     // objectName of the name dialog
    QString noun;           // the dialog's designed caption, also the noun of the duplicate message
    QString label;          // lblName
    QString table;          // [table] holding the names
    QString idColumn;       // its identifier column
    QString usageTable;     // counted before a delete, by idColumn
    QString addCaption;     // name dialog caption when adding
    QString editCaption;    // name dialog caption when renaming
    QString duplicateTitle; // title of the "already exists" message
    QString refusalText;    // in-use refusal, followed by the count and " books."
    int nameLimit;          // characters txtName accepts
    QString* lastAdded;     // where the name dialog reports a name it added; null for most tables
    bool hasInternetLookup; // the author dialog looks the name up in a library catalogue
};

const LookupMember& LookupMemberOf(LookupList which);

// The name the award (author) name dialog added last; the select pickers clear it before
// they open the dialog and read it afterwards to learn what, if anything, was added.
extern QString gLastAddedAward;
extern QString gLastAddedAuthor;

// A window whose name list a name dialog refreshes after a save: a list window or a picker.
class ListWindow {
public:
    virtual void PopulateLstData() = 0;

protected:
    ~ListWindow() = default;
};

// Opens the list window of the table (frmRatings, frmSubjects, ...) modally.
void ShowLookupList(LookupList which, QWidget* parent);
