#pragma once

#include "main/BookEditor.h"

#include <QMainWindow>
#include <functional>

class BookListModel;
class BookListView;
class LookupImage;
class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The book number of the list row that was right-clicked last; the popup menu deletes it.
extern int gPopupBookId;

// The main window: the book list above the book editor, with the program's menus.
// Closing it ends the program.
class frmWizard : public QMainWindow {
    Q_OBJECT
public:
    explicit frmWizard(QWidget* parent = nullptr);
    ~frmWizard() override;

    // Fills the window once the catalogue is open, before it is first shown.
    void Form_Load();
    void SetCaption();

    // Reloads the list for the search in force and shows its first book.
    void PopulateLstMain();
    // What other windows call to reload the list after they changed which books it holds.
    std::function<void()> ListReloader();
    // Shows the selected book in the editor, saving the one shown first if it has changes.
    void ShowSelectedBook();
    // Writes the book in the editor if it has changes; false when the user chose to stay on it
    // (or the catalogue refused the write, which the user has then been told).
    bool SaveCurrentBook();
    // Asks, then deletes the book and reloads the list.
    void DeleteBook(int bookId);
    void EnableEditor(bool enabled);
    bool IsDirty() const { return mDirty; }
    BookListModel& ListModel() const { return *m_model; }

    // Makes a menu entry run a command, first saving the shown book when saveFirst is set and
    // doing nothing when that save answers false. Enables the entry.
    void ConnectCommand(QAction* entry, std::function<void()> command, bool saveFirst);
    // Connects the menu entries that open the lookup lists, searches, reports and tools.
    void ConnectSubsystemCommands();

    void cmdAddBook_Click();
    void cmdDeleteBook_Click();
    void cmdNextBook_Click();
    void cmdPreviousBook_Click();
    void cmdSaveChanges_Click();
    void cmdAddAward_Click();
    void cmdRemove_Click();
    void cmdLookupAuthor_Click();
    void mnuFileOpen_Click();
    // File, Exit: saves the shown book, asks "Exit Tomekeep?" and closes on Yes.
    void mnuFileExit_Click();
    void mnuSearchClear_Click();
    void mnuSetupInternet_Click();
    void mnuHelpAbout_Click();
    void mnuPopupDelete_Click();
    void imgInternet_Click();
    // Shows or hides the lookup image for the library site and makes the site its tool tip.
    void ShowInternetSite(const QString& site);

    // Book list.
    BookListView* lstMain = nullptr;
    QLabel* lblCount = nullptr;

    // Book editor.
    QLineEdit* txtBookId = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtAuthor = nullptr;
    QPushButton* cmdLookupAuthor = nullptr;
    QComboBox* cboSubject = nullptr;
    QLineEdit* txtStars = nullptr;
    QComboBox* cboFormat = nullptr;
    QLineEdit* txtPages = nullptr;
    QComboBox* cboRating = nullptr;
    QLineEdit* txtCopyright = nullptr;
    QLineEdit* txtPublisher = nullptr;
    QListWidget* lstAwards = nullptr;
    QPushButton* cmdAddAward = nullptr;
    QPushButton* cmdRemove = nullptr;
    QComboBox* cboLocation = nullptr;
    QLineEdit* txtLabelNumber = nullptr;
    QLineEdit* txtAcquireDate = nullptr;
    QLabel* lblHelp1 = nullptr;
    QLineEdit* txtCost = nullptr;
    QLineEdit* txtLentTo = nullptr;
    QLineEdit* txtLentDate = nullptr;
    QLabel* lblHelp2 = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QPushButton* cmdAddBook = nullptr;
    QPushButton* cmdDeleteBook = nullptr;
    QPushButton* cmdPreviousBook = nullptr;
    QPushButton* cmdNextBook = nullptr;
    QPushButton* cmdSaveChanges = nullptr;
    QPushButton* cmdClose = nullptr;

    // Library catalogue lookup: the image and its three pictures.
    LookupImage* imgInternet = nullptr;
    QLabel* imgInternet1 = nullptr;
    QLabel* imgInternet2 = nullptr;
    QLabel* imgInternet3 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileAddBook = nullptr;
    QAction* mnuFileDeleteBook = nullptr;
    QAction* mnuFileNextBook = nullptr;
    QAction* mnuFilePreviousBook = nullptr;
    QAction* mnuFilePrinterSetup = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuSearch = nullptr;
    QAction* mnuSearchTitle = nullptr;
    QAction* mnuSearchAuthor = nullptr;
    QAction* mnuSearchSubject = nullptr;
    QAction* mnuSearchBookLabel = nullptr;
    QAction* mnuSearchLocation = nullptr;
    QAction* mnuSearchAward = nullptr;
    QAction* mnuSearchPublisher = nullptr;
    QAction* mnuSearchNotes = nullptr;
    QAction* mnuSearchClear = nullptr;
    QMenu* mnuReports = nullptr;
    QAction* mnuReportsBookListing = nullptr;
    QAction* mnuReportListLabelNumber = nullptr;
    QAction* mnuReportDetailed = nullptr;
    QAction* mnuReportsInventoryReport = nullptr;
    QAction* mnuReportsCostReport = nullptr;
    QAction* mnuReportsBooksLentOut = nullptr;
    QMenu* mnuSetup = nullptr;
    QAction* mnuSetupAuthors = nullptr;
    QAction* mnuSetupSubjects = nullptr;
    QAction* mnuSetupFormats = nullptr;
    QAction* mnuSetupRatings = nullptr;
    QAction* mnuSetupAwards = nullptr;
    QAction* mnuSetupStorageLocations = nullptr;
    QAction* mnuSetupDeleteUnusedAuthors = nullptr;
    QAction* mnuSetupInternet = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsExport = nullptr;
    QAction* mnuToolsImport = nullptr;
    QAction* mnuToolsImportOther = nullptr;
    QAction* mnuToolsExportCsv = nullptr;
    QAction* mnuToolsCheckData = nullptr;
    QAction* mnuToolsStartOver = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuPopupAdd = nullptr;
    QAction* mnuPopupDelete = nullptr;

protected:
    // Closing the window, by Exit or by its close box, is the shutdown: placement, connection, end.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList(QWidget* parent);
    QWidget* buildEditor(QWidget* parent);
    QGridLayout* buildLeftColumn(QWidget* panel);
    QGridLayout* buildRightColumn(QWidget* panel);
    QLayout* buildButtons(QWidget* parent);
    void buildMenus();
    void buildPopupMenu();
    void setTabOrder();
    void connectEditor();
    void connectCommands();

    DbStatus loadList();
    void showBook(const ShownBook& book);
    void clearEditor();
    void fillLookupBox(LookupKind kind, std::vector<LookupEntry> list, int selectedId);
    // The text boxes of the editor (all but the book number) and the text each one holds.
    std::vector<std::pair<QLineEdit*, QString EditorTexts::*>> textBoxes() const;
    EditorTexts editorTexts() const;
    void setDirty(bool dirty);
    void markChanged() { setDirty(true); }
    void showSavedRow(int bookId, const EditorTexts& texts, const BookFields& saved);
    void selectAndShow(int row);
    void stepBook(QPushButton* button, int direction);
    void listHeaderClicked(int column);
    void listPopup(const QPoint& globalPos);
    DbStatus openCatalogue();
    void reopenCatalogue(const QString& previousName);
    void tellError(const DbError& error);
    QComboBox* lookupBox(LookupKind kind) const;

    BookListModel* m_model = nullptr;
    bool mDirty = false;
    // The lookup lists the combo boxes were last filled from, indexed by LookupKind.
    std::vector<LookupEntry> m_lookupLists[4];
};
