#pragma once

#include <QMainWindow>

class QAction;
class QMenu;
class QPushButton;

// The main window: the book list above the book editor, with the program's menus.
// Closing it ends the program.
class frmWizard : public QMainWindow {
    Q_OBJECT
public:
    explicit frmWizard(QWidget* parent = nullptr);

    // Fills the window once the catalogue is open, before it is first shown.
    void Form_Load();
    // Writes the book in the editor if it has changes; false when the user chose to stay on it.
    bool SaveCurrentBook();
    // File, Exit: saves the shown book, asks "Exit Tomekeep?" and closes on Yes.
    void mnuFileExit_Click();
    void SetCaption();

    QMenu* mnuFile = nullptr;
    QAction* mnuFileExit = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    // Closing the window, by Exit or by its close box, is the shutdown: placement, connection, end.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void cmdClose_Click();
};
