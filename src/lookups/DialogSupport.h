#pragma once

#include "lookups/LookupNames.h"

#include <QObject>
#include <array>
#include <functional>
#include <optional>

class QDialog;
class QListWidget;
class QPushButton;
class QWidget;
struct DbError;
struct LookupMember;

// Small pieces the lookup, picker and search windows share.

// Names and captions a window of one of the families and gives it the main window's icon: the
// one of the window it is opened over, or the program's own when it has no parent.
void SetUpWindow(QDialog& window, const QString& objectName, const QString& caption);
QPushButton* MakeButton(const QString& caption, const QString& objectName, QWidget* parent);
// The list box lstData of the list windows and pickers.
QListWidget* MakeNameList(QWidget* parent);

// The row of a family's table that describes one member; the first row for a key no row has.
template <typename Member, std::size_t N, typename Key>
const Member& MemberOf(const std::array<Member, N>& table, Key Member::*field, Key key) {
    for (const Member& candidate : table) {
        if (candidate.*field == key)
            return candidate;
    }
    return table.front();
}

// Engine failures are shown as "Error N (text)" under the title "Error".
void ShowDbError(const DbError& error);

// Refills a list box with the names of a lookup table in name order, each entry carrying its
// row's identifier, and selects the first. Answers false (after telling the user) when the table
// cannot be read.
bool FillNameList(QListWidget& list, const LookupMember& member);
// The selected name of the list box, none when nothing is selected.
std::optional<QString> SelectedName(const QListWidget& list);
// The selected entry with the identifier of its row, none when nothing is selected.
std::optional<LookupRow> SelectedRow(const QListWidget& list);

// Lets a window see key presses before its controls do: the handler gets every key pressed
// in the window or any of its controls and answers true when it used the key.
class KeyPreview : public QObject {
public:
    using Handler = std::function<bool(int key)>;
    // Watches the window and every control it holds now; owned by the window.
    static void install(QWidget& window, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPreview(QWidget& window, Handler handler);
    Handler m_handler;
};
