#pragma once

class QLineEdit;
class QListWidget;
class QWidget;

// The small windows that hand a chosen lookup name to the window that opened them.
enum class PickerKind { SelectAward, SelectAuthor, LookupAward, LookupSubject, LookupLocation };

// frmSelectAward: appends the chosen (or newly added) award to the book's award list, unless
// the list already holds it. Answers the window's result.
int ShowSelectAward(QWidget* parent, QListWidget& lstAwards);
// frmSelectAuthor: puts the chosen (or newly added) author into the book's author box.
int ShowSelectAuthor(QWidget* parent, QLineEdit& txtAuthor);
// frmLookupAward, frmLookupSubject, frmLookupLocation: puts the chosen name into a search
// window's text box; the search itself is left to the user.
int ShowLookupPicker(PickerKind which, QWidget* parent, QLineEdit& txtSearch);

// Appends the award unless an entry equal to it (both trimmed, letter case ignored) is there.
void AppendAwardUnlessPresent(QListWidget& lstAwards, const QString& award);
