#pragma once

#include "main/BookEditor.h"

#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <functional>
#include <optional>

class BookListModel;
class QTimer;
class BookLookup;
class CoverView;
class QProgressBar;
struct FoundBook;
struct LookupResult;
class BookListView;
class LookupImage;
class PlainTextLimit;
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
    // What the start-over window calls once the catalogue is replaced: the edits of the book
    // shown belong to the catalogue that is gone, so they are dropped before the list reloads.
    void CatalogueReplaced();
    // Shows the selected book in the editor, saving the one shown first if it has changes.
    void ShowSelectedBook();
    // Writes the book in the editor if it has changes; false when the user chose to stay on it
    // (or the catalogue refused the write, which the user has then been told).
    bool SaveCurrentBook();
    // The save of a desktop logout, where no question can be shown: missing lookup names are
    // added and another program's change is overwritten, so that the typed text is kept. False
    // when the save cannot go ahead (an unreadable date, a failure), the edits still shown.
    bool SaveWithoutQuestions();
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
    // Runs work that lets window events through while it reads the catalogue (a report being
    // written, a repair) with this window taking no input. A close asked for meanwhile calls
    // `stop`, waits for the work to end and then closes.
    void RunWithoutInput(const std::function<void()>& work, std::function<void()> stop);

    void cmdAddBook_Click();
    void cmdDeleteBook_Click();
    void cmdNextBook_Click();
    void cmdPreviousBook_Click();
    void cmdSaveChanges_Click();
    void cmdAddAward_Click();
    void cmdRemove_Click();
    void cmdLookupAuthor_Click();
    void mnuFileOpen_Click();
    // File, Open Catalogue File: a catalogue file chosen in a file dialog, opened where it lies.
    void mnuFileOpenFile_Click();
    // Opens a catalogue file where it lies (after the shown book is saved); a file that is gone
    // is told and taken off the recent catalogues, one that does not open leaves the open one.
    void OpenCatalogueFile(const QString& file);
    // File, Exit: saves the shown book, asks "Exit Tomekeep?" and closes on Yes.
    void mnuFileExit_Click();
    void mnuSearchClear_Click();
    void mnuSetupInternet_Click();
    void mnuHelpAbout_Click();
    void mnuPopupDelete_Click();
    void imgInternet_Click();
    // Look Up ISBN: asks the book details server without blocking the window.
    void cmdLookupIsbn_Click();
    void cmdCancelLookup_Click();
    void cmdSetCover_Click();
    void cmdRemoveCover_Click();
    // How long a look-up may take; tests shorten it.
    void SetLookupTimeout(std::chrono::milliseconds timeout);
    // Shows or hides the lookup image for the library site and makes the site its tool tip.
    void ShowInternetSite(const QString& site);

    // Book list, with the quick filter above it.
    QLineEdit* txtFilter = nullptr;
    BookListView* lstMain = nullptr;
    QLabel* lblCount = nullptr;

    // Book editor.
    QLineEdit* txtBookId = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtIsbn = nullptr;
    QPushButton* cmdLookupIsbn = nullptr;
    QProgressBar* prgLookup = nullptr;
    QPushButton* cmdCancelLookup = nullptr;
    CoverView* picCover = nullptr;
    QPushButton* cmdSetCover = nullptr;
    QPushButton* cmdRemoveCover = nullptr;
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
    QAction* mnuFileOpenFile = nullptr;
    QMenu* mnuFileRecent = nullptr;
    QAction* mnuFileRestore = nullptr;
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
    QAction* mnuSearchReload = nullptr;
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
    QAction* mnuHelpHandbook = nullptr;
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
    QLayout* buildIsbnRow(QWidget* panel);
    QLayout* buildCoverColumn(QWidget* panel);
    void connectOnline();
    void showCover(int bookId);
    void setPendingCover(const QByteArray& prepared);
    void takeCoverFile(const QByteArray& bytes, const QString& name);
    void showLookupBusy(bool busy);
    void lookupFinished(const LookupResult& result);
    void fillFoundBook(const FoundBook& found);
    QLayout* buildButtons(QWidget* parent);
    void buildMenus();
    void assignShortcuts();
    void buildPopupMenu();
    void setTabOrder();
    void connectEditor();
    void connectCommands();

    DbStatus loadList();
    DbStatus reloadModel();
    void showBook(const ShownBook& book);
    void clearEditor();
    void fillLookupBox(LookupKind kind, std::vector<LookupEntry> list, int selectedId);
    // The text boxes of the editor (all but the book number) and the text each one holds.
    std::vector<std::pair<QLineEdit*, QString EditorTexts::*>> textBoxes() const;
    EditorTexts editorTexts() const;
    enum class Questions { Ask, None };
    bool saveShownBook(Questions questions);
    // Tells about the first date box the save cannot read and puts the caret in it.
    bool datesReadable(Questions questions);
    // The shown book was changed by another program: overwrite it, or show what is stored.
    bool settleChangedBook(Questions questions, const EditorTexts& texts, const LookupQuestion& ask,
                           SaveResult& result);
    void reshowStoredBook(int bookId);
    // The shown book's row as stored now, taken as the one the editor's edits start from.
    void rebaseShownBook();
    // The book the editor shows, whatever row of the list is selected; -1 when none.
    int currentRow() const;
    void setDirty(bool dirty);
    void markChanged() { setDirty(true); }
    void showSavedRow(int bookId, const BookFields& saved);
    void selectAndShow(int row);
    void stepBook(QPushButton* button, int direction);
    void listHeaderClicked(int column);
    void listPopup(const QPoint& globalPos);
    DbStatus openCatalogue();
    bool switchCatalogue(const QString& previousName, const QString& previousFile);
    void reopenCatalogue(const QString& previousName, const QString& previousFile);
    // After a catalogue opened: it heads the recent catalogues, and the menu shows them.
    void catalogueOpened();
    void fillRecentMenu();
    void applyFilter();
    void filterTyped(const QString& typed);
    void showCount();
    void tellError(const DbError& error);
    void takeInput(bool take);
    // Refuses a typed ISBN that is not one and warns about one another book has; true to save on.
    bool confirmIsbn(const EditorTexts& texts);
    QComboBox* lookupBox(LookupKind kind) const;

    BookListModel* m_model = nullptr;
    // On a long list the filter waits for a pause in the typing: reading every book on every
    // keystroke would hold up the typing itself.
    static constexpr int kFilterPauseMs = 250;
    QTimer* m_filterPause = nullptr;
    PlainTextLimit* m_notesLimit = nullptr;
    bool mDirty = false;
    // The shown book's row as it was read: a save compares the stored row with it to find the
    // changes of another program.
    std::optional<BookFields> m_shownAs;
    // Set while RunWithoutInput runs its work.
    std::function<void()> m_stopWork;
    bool m_closeAfterWork = false;
    // Menu entries whose keys RunWithoutInput turned off, to be turned on again after the work.
    std::vector<QPointer<QAction>> m_entriesLaidAside;
    // The lookup lists the combo boxes were last filled from, indexed by LookupKind.
    std::vector<LookupEntry> m_lookupLists[4];
    BookLookup* m_lookup = nullptr;
    // The server and the book of the look-up under way: its answer fills only that book.
    QString m_lookupBase;
    QString m_lookupBookId;
    // A cover set, dropped, found or removed since the book was shown; written when it is saved.
    std::optional<QByteArray> m_pendingCover;
};
