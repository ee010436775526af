#pragma once

#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "db/Recordset.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/SearchState.h"
#include "support/TestHome.h"

#include <functional>

// Adds a book to the open catalogue with the standard "(none)" lookups, letting the test set
// what it cares about; answers its number.
inline int AddTestBook(const QString& title, const std::function<void(BookFields&)>& tweak = {}) {
    BookFields book = PlainBook(title);
    if (tweak)
        tweak(book);
    const auto added = InsertBook(book);
    if (!added || *added <= 0)
        qFatal("could not add the test book %s", qPrintable(title));
    return *added;
}

// One stored column of a book, as the catalogue holds it.
inline QVariant StoredColumn(int bookId, const QString& column) {
    const auto row = Recordset::open(u"SELECT [" + column + u"] FROM [Book] WHERE [BookId] = ?", {bookId});
    return row && !row->eof() ? row->field(0) : QVariant();
}

// Several stored columns of a book as "value|value|...", for one check of what was saved.
inline QString StoredColumns(int bookId, const QStringList& columns) {
    return TextsOf(u"SELECT [" + columns.join(u"], [") + u"] FROM [Book] WHERE [BookId] = ?", {bookId})
        .value(0);
}

// The text of one column over every row, in list order.
inline QStringList ColumnTexts(const BookListModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.text(row, column);
    return texts;
}

inline QStringList ListedTitles(const BookListModel& model) {
    return ColumnTexts(model, BookListModel::ColTitle);
}

// The name of the widget with the focus; an editable combo box's own line edit counts as the box.
inline QString FocusedName() {
    QWidget* focused = QApplication::focusWidget();
    if (focused && qobject_cast<QComboBox*>(focused->parentWidget()))
        focused = focused->parentWidget();
    return focused ? focused->objectName() : QString();
}

#include "main/frmStartOver.h"
#include "main/frmWizard.h"

#include <memory>

// The main window over the open catalogue, loaded and shown; active for tests that type keys at it.
inline std::unique_ptr<frmWizard> OpenMainWindow(bool active = false) {
    auto window = std::make_unique<frmWizard>();
    window->Form_Load();
    window->show();
    if (active) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
    }
    return window;
}

// FRESH_CHECKED_HOME with the main window shown over its catalogue (active if told).
#define FRESH_MAIN_WINDOW(home, window, ...)                                                                 \
    FRESH_CHECKED_HOME(home);                                                                                \
    const auto window = OpenMainWindow(__VA_ARGS__)

// Answers the Start Over window as a user who ticks the box and presses Start Over once.
inline int ConfirmStartOver(QDialog& dialog) {
    auto& window = dynamic_cast<frmStartOver&>(dialog);
    window.chkStartOver1->setChecked(true);
    window.cmdStartOver->click();
    return window.isVisible() ? -1 : window.result();
}
