#include "main/frmWizard.h"

#include "app/Modal.h"
#include "app/ProgressWindows.h"
#include "app/Prompts.h"
#include "app/RecentCatalogues.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Twips.h"
#include "app/frmAbout.h"
#include "app/frmHelp.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "internet/InternetSearch.h"
#include "internet/frmInternet.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/LookupImage.h"
#include "main/PlainTextLimit.h"
#include "main/SearchState.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

int gPopupBookId = 0;

namespace {

constexpr int kDesignedWidth = 13800;
constexpr int kDesignedHeight = 10200;
// A box's own input limit, kept apart from the one in force while a longer stored text is shown.
constexpr char kDesignedLength[] = "designedLength";

QLineEdit* newBox(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(maxLength);
    box->setProperty(kDesignedLength, maxLength);
    return box;
}

QComboBox* newLookupBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    box->lineEdit()->setMaxLength(kLookupNameLength);
    return box;
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* newLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lbl") + buddy->objectName().mid(3));
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* newHint(QWidget* parent, const char* name) {
    auto* hint = new QLabel(QStringLiteral("mm/dd/yyyy"), parent);
    hint->setObjectName(QLatin1String(name));
    hint->setEnabled(false);
    return hint;
}

QLabel* newPicture(QWidget* parent, const char* name, const QString& resource) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QLatin1String(name));
    picture->setPixmap(QPixmap(resource));
    picture->hide();
    return picture;
}

} // namespace

frmWizard::frmWizard(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tomekeep.png")));
    resize(TwipsToPixels(kDesignedWidth), TwipsToPixels(kDesignedHeight));
    m_model = new BookListModel(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    buildList(central);
    layout->addWidget(txtFilter);
    layout->addWidget(lstMain, 1);
    layout->addWidget(lblCount);
    layout->addWidget(buildEditor(central));
    layout->addLayout(buildButtons(central));
    setCentralWidget(central);

    buildMenus();
    buildPopupMenu();
    setTabOrder();
    connectEditor();
    connectCommands();
    connectOnline();
    clearEditor();
#ifndef QT_NO_SESSIONMANAGER
    // A desktop logout ends the program without closing its window: the edits are saved here,
    // and a save that cannot go ahead asks the desktop to stay.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!SaveWithoutQuestions())
            manager.cancel();
    });
#endif
}

frmWizard::~frmWizard() = default;

void frmWizard::buildList(QWidget* parent) {
    txtFilter = new QLineEdit(parent);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter the list by title, author, subject, publisher, "
                                                 "label # or notes (Ctrl+F)"));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->setAccessibleName(QStringLiteral("Quick filter"));
    lstMain = new BookListView(parent);
    lstMain->setObjectName(QStringLiteral("lstMain"));
    lstMain->setBookModel(m_model);
    lstMain->setMinimumHeight(120);
    lblCount = new QLabel(QStringLiteral("Books in list: 0"), parent);
    lblCount->setObjectName(QStringLiteral("lblCount"));
}

QWidget* frmWizard::buildEditor(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("fraEditor"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(panel);

    auto* top = new QHBoxLayout;
    txtBookId = newBox(panel, "txtBookId", 10);
    txtBookId->setReadOnly(true);
    txtBookId->setFocusPolicy(Qt::ClickFocus);
    txtBookId->setFixedWidth(90);
    top->addWidget(newLabel(panel, QStringLiteral("Book #:"), txtBookId));
    top->addWidget(txtBookId);
    top->addStretch();
    layout->addLayout(top);

    auto* columns = new QHBoxLayout;
    columns->addLayout(buildLeftColumn(panel), 1);
    columns->addSpacing(16);
    columns->addLayout(buildRightColumn(panel), 1);
    columns->addSpacing(16);
    columns->addLayout(buildCoverColumn(panel));
    layout->addLayout(columns);
    return panel;
}

QGridLayout* frmWizard::buildLeftColumn(QWidget* panel) {
    auto* grid = new QGridLayout;
    txtTitle = newBox(panel, "txtTitle", kTitleLength);
    imgInternet = new LookupImage(panel);
    imgInternet->setObjectName(QStringLiteral("imgInternet"));
    imgInternet1 = newPicture(panel, "imgInternet1", QStringLiteral(":/internet/internet1.png"));
    imgInternet2 = newPicture(panel, "imgInternet2", QStringLiteral(":/internet/internet2.png"));
    imgInternet3 = newPicture(panel, "imgInternet3", QStringLiteral(":/internet/internet3.png"));
    imgInternet->setPictures(imgInternet1->pixmap(), imgInternet2->pixmap(), imgInternet3->pixmap());
    auto* title = new QHBoxLayout;
    title->addWidget(txtTitle);
    title->addWidget(imgInternet);
    grid->addWidget(newLabel(panel, QStringLiteral("Title:"), txtTitle), 0, 0);
    grid->addLayout(title, 0, 1, 1, 3);

    QLayout* isbn = buildIsbnRow(panel);
    grid->addWidget(newLabel(panel, QStringLiteral("ISBN:"), txtIsbn), 1, 0);
    grid->addLayout(isbn, 1, 1, 1, 3);

    txtAuthor = newBox(panel, "txtAuthor", 100);
    cmdLookupAuthor = newButton(panel, "cmdLookupAuthor", QStringLiteral("..."));
    cmdLookupAuthor->setFixedWidth(32);
    auto* author = new QHBoxLayout;
    author->addWidget(txtAuthor);
    author->addWidget(cmdLookupAuthor);
    grid->addWidget(newLabel(panel, QStringLiteral("Author:"), txtAuthor), 2, 0);
    grid->addLayout(author, 2, 1, 1, 3);

    cboSubject = newLookupBox(panel, "cboSubject");
    txtStars = newBox(panel, "txtStars", 3);
    cboFormat = newLookupBox(panel, "cboFormat");
    txtPages = newBox(panel, "txtPages", 4);
    cboRating = newLookupBox(panel, "cboRating");
    txtCopyright = newBox(panel, "txtCopyright", 4);
    const std::pair<QComboBox*, QLineEdit*> pairs[] = {
        {cboSubject, txtStars}, {cboFormat, txtPages}, {cboRating, txtCopyright}};
    const QString boxLabels[] = {QStringLiteral("Subject:"), QStringLiteral("Format:"),
                                 QStringLiteral("Rating:")};
    const QString numberLabels[] = {QStringLiteral("Stars:"), QStringLiteral("Pages:"),
                                    QStringLiteral("Copyright:")};
    for (int i = 0; i < 3; ++i) {
        pairs[i].second->setFixedWidth(60);
        grid->addWidget(newLabel(panel, boxLabels[i], pairs[i].first), 3 + i, 0);
        grid->addWidget(pairs[i].first, 3 + i, 1);
        grid->addWidget(newLabel(panel, numberLabels[i], pairs[i].second), 3 + i, 2);
        grid->addWidget(pairs[i].second, 3 + i, 3);
    }

    txtPublisher = newBox(panel, "txtPublisher", kPublisherLength);
    grid->addWidget(newLabel(panel, QStringLiteral("Publisher:"), txtPublisher), 6, 0);
    grid->addWidget(txtPublisher, 6, 1, 1, 3);

    lstAwards = new QListWidget(panel);
    lstAwards->setObjectName(QStringLiteral("lstAwards"));
    lstAwards->setFixedHeight(64);
    cmdAddAward = newButton(panel, "cmdAddAward", QStringLiteral("Add A&ward"));
    cmdRemove = newButton(panel, "cmdRemove", QStringLiteral("Remo&ve Award"));
    auto* awardButtons = new QVBoxLayout;
    awardButtons->addWidget(cmdAddAward);
    awardButtons->addWidget(cmdRemove);
    awardButtons->addStretch();
    auto* awardsLabel = newLabel(panel, QStringLiteral("Awards:"), lstAwards);
    awardsLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(awardsLabel, 7, 0);
    grid->addWidget(lstAwards, 7, 1);
    grid->addLayout(awardButtons, 7, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    return grid;
}

QGridLayout* frmWizard::buildRightColumn(QWidget* panel) {
    auto* grid = new QGridLayout;
    cboLocation = newLookupBox(panel, "cboLocation");
    txtLabelNumber = newBox(panel, "txtLabelNumber", kLabelLength);
    txtAcquireDate = newBox(panel, "txtAcquireDate", 10);
    lblHelp1 = newHint(panel, "lblHelp1");
    txtCost = newBox(panel, "txtCost", 10);
    txtLentTo = newBox(panel, "txtLentTo", kLentToLength);
    txtLentDate = newBox(panel, "txtLentDate", 10);
    lblHelp2 = newHint(panel, "lblHelp2");
    txtNotes = new QPlainTextEdit(panel);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setTabChangesFocus(true);
    txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNotes->setFixedHeight(96);
    m_notesLimit = new PlainTextLimit(*txtNotes, kNotesLength);

    const std::pair<QString, QWidget*> rows[] = {
        {QStringLiteral("Location:"), cboLocation},    {QStringLiteral("Label #:"), txtLabelNumber},
        {QStringLiteral("Acquired:"), txtAcquireDate}, {QStringLiteral("Cost:"), txtCost},
        {QStringLiteral("Lent To:"), txtLentTo},       {QStringLiteral("Lent Date:"), txtLentDate},
        {QStringLiteral("My notes:"), txtNotes}};
    int row = 0;
    for (const auto& [text, field] : rows) {
        auto* label = newLabel(panel, text, field);
        if (field == txtNotes)
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(label, row, 0);
        const bool narrow = field == txtAcquireDate || field == txtLentDate || field == txtCost;
        grid->addWidget(field, row, 1, 1, narrow ? 1 : 2);
        ++row;
    }
    for (QLineEdit* narrow : {txtAcquireDate, txtLentDate, txtCost})
        narrow->setFixedWidth(110);
    grid->addWidget(lblHelp1, 2, 2);
    grid->addWidget(lblHelp2, 5, 2);
    grid->setColumnStretch(2, 1);
    return grid;
}

QLayout* frmWizard::buildButtons(QWidget* parent) {
    auto* row = new QHBoxLayout;
    cmdAddBook = newButton(parent, "cmdAddBook", QStringLiteral("&Add Book"));
    cmdDeleteBook = newButton(parent, "cmdDeleteBook", QStringLiteral("&Delete Book"));
    cmdPreviousBook = newButton(parent, "cmdPreviousBook", QStringLiteral("&Previous"));
    cmdNextBook = newButton(parent, "cmdNextBook", QStringLiteral("&Next"));
    cmdSaveChanges = newButton(parent, "cmdSaveChanges", QStringLiteral("&Save Changes"));
    // Alt+S opens the Search menu; a key shared with the menu bar would reach neither.
    cmdSaveChanges->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    cmdSaveChanges->setToolTip(QStringLiteral("Save Changes (Ctrl+S)"));
    cmdClose = newButton(parent, "cmdClose", QStringLiteral("Close"));
    for (QPushButton* button : {cmdAddBook, cmdDeleteBook, cmdPreviousBook, cmdNextBook, cmdSaveChanges})
        row->addWidget(button);
    row->addStretch();
    row->addWidget(cmdClose);
    return row;
}

void frmWizard::buildMenus() {
    struct Entry {
        QAction* frmWizard::*action;
        const char* name;
        const char* caption;
        // The entry's window comes with another part of the program, which wires it.
        bool later = false;
    };
    struct Menu {
        QMenu* frmWizard::*menu;
        const char* name;
        const char* caption;
        std::vector<Entry> entries;
    };
    const Menu menus[] = {
        {&frmWizard::mnuFile,
         "mnuFile",
         "&File",
         {{&frmWizard::mnuFileOpen, "mnuFileOpen", "&Open book database.."},
          {&frmWizard::mnuFileOpenFile, "mnuFileOpenFile", "Open Catalogue &File…"},
          {&frmWizard::mnuFileRestore, "mnuFileRestore", "R&estore from Backup…", true},
          {nullptr, "mnuFileDash2", nullptr},
          {&frmWizard::mnuFileAddBook, "mnuFileAddBook", "&Add Book"},
          {&frmWizard::mnuFileDeleteBook, "mnuFileDeleteBook", "&Delete Book"},
          {&frmWizard::mnuFileNextBook, "mnuFileNextBook", "&Next Book"},
          {&frmWizard::mnuFilePreviousBook, "mnuFilePreviousBook", "&Previous Book"},
          {nullptr, "mnuFileDash0", nullptr},
          {&frmWizard::mnuFilePrinterSetup, "mnuFilePrinterSetup", "&Printer setup..", true},
          {nullptr, "mnuFileDash1", nullptr},
          {&frmWizard::mnuFileExit, "mnuFileExit", "E&xit"}}},
        {&frmWizard::mnuSearch,
         "mnuSearch",
         "&Search",
         {{&frmWizard::mnuSearchTitle, "mnuSearchTitle", "&Title search..", true},
          {nullptr, "mnuSearchDash2", nullptr},
          {&frmWizard::mnuSearchAuthor, "mnuSearchAuthor", "&Author search..", true},
          {&frmWizard::mnuSearchSubject, "mnuSearchSubject", "&Subject search..", true},
          {&frmWizard::mnuSearchBookLabel, "mnuSearchBookLabel", "La&bel # search..", true},
          {&frmWizard::mnuSearchLocation, "mnuSearchLocation", "&Location search..", true},
          {&frmWizard::mnuSearchAward, "mnuSearchAward", "A&ward search..", true},
          {&frmWizard::mnuSearchPublisher, "mnuSearchPublisher", "&Publisher search..", true},
          {&frmWizard::mnuSearchNotes, "mnuSearchNotes", "&Notes search", true},
          {nullptr, "mnuSearchDash1", nullptr},
          {&frmWizard::mnuSearchClear, "mnuSearchClear", "&Clear search"},
          {&frmWizard::mnuSearchReload, "mnuSearchReload", "&Reload list"}}},
        {&frmWizard::mnuReports,
         "mnuReports",
         "&Reports",
         {{&frmWizard::mnuReportsBookListing, "mnuReportsBookListing", "&Book listing..", true},
          {&frmWizard::mnuReportListLabelNumber, "mnuReportListLabelNumber", "Book listing (by &label #)..",
           true},
          {&frmWizard::mnuReportDetailed, "mnuReportDetailed", "Book listing (&detailed)..", true},
          {&frmWizard::mnuReportsInventoryReport, "mnuReportsInventoryReport", "&Inventory by location..",
           true},
          {&frmWizard::mnuReportsCostReport, "mnuReportsCostReport", "&Cost summary..", true},
          {&frmWizard::mnuReportsBooksLentOut, "mnuReportsBooksLentOut", "Books l&ent out..", true}}},
        {&frmWizard::mnuSetup,
         "mnuSetup",
         "Set&up",
         {{&frmWizard::mnuSetupAuthors, "mnuSetupAuthors", "&Authors..", true},
          {&frmWizard::mnuSetupSubjects, "mnuSetupSubjects", "&Subjects..", true},
          {&frmWizard::mnuSetupFormats, "mnuSetupFormats", "&Formats..", true},
          {&frmWizard::mnuSetupRatings, "mnuSetupRatings", "&Ratings..", true},
          {&frmWizard::mnuSetupAwards, "mnuSetupAwards", "A&wards..", true},
          {&frmWizard::mnuSetupStorageLocations, "mnuSetupStorageLocations", "&Storage locations..", true},
          {nullptr, "mnuSetupDash0", nullptr},
          {&frmWizard::mnuSetupDeleteUnusedAuthors, "mnuSetupDeleteUnusedAuthors", "&Delete Unused authors..",
           true},
          {nullptr, "mnuSetupDash1", nullptr},
          {&frmWizard::mnuSetupInternet, "mnuSetupInternet", "&Internet Search settings.."}}},
        {&frmWizard::mnuTools,
         "mnuTools",
         "&Tools",
         {{&frmWizard::mnuToolsExport, "mnuToolsExport", "&Export to file..", true},
          {&frmWizard::mnuToolsImport, "mnuToolsImport", "&Import from file..", true},
          {&frmWizard::mnuToolsImportOther, "mnuToolsImportOther", "Import from &Other Programs\u2026", true},
          {&frmWizard::mnuToolsExportCsv, "mnuToolsExportCsv", "Export to &CSV\u2026", true},
          {nullptr, "mnuToolsDash1", nullptr},
          {&frmWizard::mnuToolsCheckData, "mnuToolsCheckData", "&Repair data..", true},
          {nullptr, "mnuToolsDash2", nullptr},
          {&frmWizard::mnuToolsStartOver, "mnuToolsStartOver", "&Start over..", true}}},
        {&frmWizard::mnuHelp,
         "mnuHelp",
         "&Help",
         {{&frmWizard::mnuHelpHandbook, "mnuHelpHandbook", "Tomekeep &Handbook"},
          {&frmWizard::mnuHelpAbout, "mnuHelpAbout", "&About.."}}},
    };
    for (const Menu& design : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(design.caption));
        menu->setObjectName(QLatin1String(design.name));
        this->*design.menu = menu;
        for (const Entry& entry : design.entries) {
            QAction* action =
                entry.action ? menu->addAction(QString::fromUtf8(entry.caption)) : menu->addSeparator();
            action->setObjectName(QLatin1String(entry.name));
            action->setEnabled(!entry.later);
            if (entry.action)
                this->*entry.action = action;
        }
    }
    assignShortcuts();
}

// The keys every desktop program answers to. None of them holds Alt, so they never take a
// menu's or a button's access key.
void frmWizard::assignShortcuts() {
    const std::pair<QAction*, QKeySequence> keys[] = {
        {mnuFileAddBook, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {mnuFileOpenFile, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {mnuFileExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {mnuSearchReload, QKeySequence(Qt::Key_F5)},
        {mnuHelpHandbook, QKeySequence(Qt::Key_F1)},
    };
    mnuFileRecent = new QMenu(QStringLiteral("Recen&t Catalogues"), mnuFile);
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    mnuFile->insertMenu(mnuFileRestore, mnuFileRecent);
    for (const auto& [entry, key] : keys) {
        entry->setShortcut(key);
        entry->setShortcutContext(Qt::WindowShortcut);
    }
}

void frmWizard::buildPopupMenu() {
    mnuPopup = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopupAdd = mnuPopup->addAction(QStringLiteral("Add New Book"));
    mnuPopupAdd->setObjectName(QStringLiteral("mnuPopupAdd"));
    mnuPopupDelete = mnuPopup->addAction(QStringLiteral("Delete Book"));
    mnuPopupDelete->setObjectName(QStringLiteral("mnuPopupDelete"));
}

void frmWizard::setTabOrder() {
    const QList<QWidget*> order = {
        txtTitle,    txtIsbn,        cmdLookupIsbn,   txtAuthor,       cboSubject,     txtStars,
        cboFormat,   txtPages,       cboRating,       txtCopyright,    txtPublisher,   lstAwards,
        cboLocation, txtLabelNumber, txtAcquireDate,  txtCost,         txtLentTo,      txtLentDate,
        txtNotes,    cmdSetCover,    cmdRemoveCover,  cmdLookupAuthor, cmdAddAward,    cmdRemove,
        cmdAddBook,  cmdDeleteBook,  cmdPreviousBook, cmdNextBook,     cmdSaveChanges, cmdClose,
        lstMain};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmWizard::connectCommands() {
    connect(cmdAddBook, &QPushButton::clicked, this, &frmWizard::cmdAddBook_Click);
    connect(cmdDeleteBook, &QPushButton::clicked, this, &frmWizard::cmdDeleteBook_Click);
    connect(cmdNextBook, &QPushButton::clicked, this, &frmWizard::cmdNextBook_Click);
    connect(cmdPreviousBook, &QPushButton::clicked, this, &frmWizard::cmdPreviousBook_Click);
    connect(cmdSaveChanges, &QPushButton::clicked, this, &frmWizard::cmdSaveChanges_Click);
    connect(cmdAddAward, &QPushButton::clicked, this, &frmWizard::cmdAddAward_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmWizard::cmdRemove_Click);
    connect(cmdLookupAuthor, &QPushButton::clicked, this, &frmWizard::cmdLookupAuthor_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        if (SaveCurrentBook())
            mnuFileExit_Click();
    });
    connect(imgInternet, &LookupImage::clicked, this, &frmWizard::imgInternet_Click);

    connect(mnuFileOpen, &QAction::triggered, this, &frmWizard::mnuFileOpen_Click);
    connect(mnuFileOpenFile, &QAction::triggered, this, &frmWizard::mnuFileOpenFile_Click);
    m_filterPause = new QTimer(this);
    m_filterPause->setSingleShot(true);
    m_filterPause->setInterval(kFilterPauseMs);
    connect(m_filterPause, &QTimer::timeout, this, &frmWizard::applyFilter);
    connect(txtFilter, &QLineEdit::textChanged, this, &frmWizard::filterTyped);
    connect(mnuFileAddBook, &QAction::triggered, this, &frmWizard::cmdAddBook_Click);
    connect(mnuFileDeleteBook, &QAction::triggered, this, &frmWizard::cmdDeleteBook_Click);
    connect(mnuFileNextBook, &QAction::triggered, this, &frmWizard::cmdNextBook_Click);
    connect(mnuFilePreviousBook, &QAction::triggered, this, &frmWizard::cmdPreviousBook_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmWizard::mnuFileExit_Click);
    connect(mnuSearchClear, &QAction::triggered, this, &frmWizard::mnuSearchClear_Click);
    connect(mnuSetupInternet, &QAction::triggered, this, &frmWizard::mnuSetupInternet_Click);
    connect(mnuHelpHandbook, &QAction::triggered, this, [this] { ShowHandbook(this); });
    connect(mnuHelpAbout, &QAction::triggered, this, &frmWizard::mnuHelpAbout_Click);
    connect(mnuPopupAdd, &QAction::triggered, this, &frmWizard::cmdAddBook_Click);
    connect(mnuPopupDelete, &QAction::triggered, this, &frmWizard::mnuPopupDelete_Click);

    connect(lstMain, &BookListView::rowChosen, this, &frmWizard::ShowSelectedBook);
    connect(lstMain, &BookListView::insertPressed, this, &frmWizard::cmdAddBook_Click);
    connect(lstMain, &BookListView::deletePressed, this, &frmWizard::cmdDeleteBook_Click);
    connect(lstMain, &BookListView::popupRequested, this, &frmWizard::listPopup);
    connect(lstMain->header(), &QHeaderView::sectionClicked, this, &frmWizard::listHeaderClicked);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        // In the quick filter Esc first brings the whole list back.
        if (txtFilter->hasFocus() && !txtFilter->text().isEmpty())
            txtFilter->clear();
        else
            mnuFileExit_Click();
    });
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });
    ConnectCommand(mnuSearchReload, ListReloader(), true);
    ConnectSubsystemCommands();
}

void frmWizard::ConnectCommand(QAction* entry, std::function<void()> command, bool saveFirst) {
    entry->setEnabled(true);
    connect(entry, &QAction::triggered, this, [this, command = std::move(command), saveFirst] {
        if (!saveFirst || SaveCurrentBook())
            command();
    });
}

void frmWizard::Form_Load() {
    SplashStep(QStringLiteral("Load books"));
    SetCaption();
    lstMain->applyColumnShares();
    ShowInternetSite(GetSetting(QStringLiteral("InternetSite"), DefaultInternetSite()));
    fillRecentMenu();
    PopulateLstMain();
}

// The caption says when the catalogue may only be read, and the commands that write wait.
void frmWizard::SetCaption() {
    const bool writable = !gConn.isReadOnly();
    setWindowTitle(QStringLiteral("Tomekeep (") + CatalogueDisplayName() + u')' +
                   (writable ? QString() : QStringLiteral(" - read-only")));
    for (QAction* entry : {mnuFileAddBook, mnuFileDeleteBook, mnuPopupAdd, mnuPopupDelete, mnuToolsImport,
                           mnuToolsCheckData, mnuToolsStartOver, mnuSetupDeleteUnusedAuthors})
        entry->setEnabled(writable);
    cmdAddBook->setEnabled(writable);
    cmdDeleteBook->setEnabled(writable);
}

std::function<void()> frmWizard::ListReloader() {
    return [this] {
        PopulateLstMain();
    };
}

void frmWizard::CatalogueReplaced() {
    clearEditor();
    PopulateLstMain();
}

void frmWizard::tellError(const DbError& error) {
    TellError(error.messageText());
}

void frmWizard::mnuFileOpen_Click() {
    if (!SaveCurrentBook())
        return;
    const QPoint corner = frameGeometry().topLeft() + QPoint(TwipsToPixels(200), TwipsToPixels(200));
    const QString answer =
        prompts().inputText(QStringLiteral("Open Book Database"),
                            QStringLiteral("Enter the name of the book database to open or create.  "
                                           "(Note: 'BIBLIO' is the standard database):"),
                            gDBName, corner);
    if (answer.isEmpty())
        return;
    const QString previous = gDBName;
    const QString previousFile = gCatalogueFile;
    SaveSetting(QStringLiteral("DBName"), answer);
    ReadDBName();
    SaveSetting(QStringLiteral("DBName"), gDBName);
    gCatalogueFile.clear();
    if (!switchCatalogue(previous, previousFile))
        return;
    prompts().tell(QStringLiteral("Tomekeep"), u'\'' + gDBName + QStringLiteral("' database opened."));
    if (gConn.isReadOnly())
        TellReadOnlyCatalogue();
}

void frmWizard::mnuFileOpenFile_Click() {
    if (!SaveCurrentBook())
        return;
    const QString file = prompts().chooseOpenFile(
        QStringLiteral("Open Catalogue File"), QFileInfo(CatalogueFile()).absolutePath(),
        QStringLiteral("Tomekeep catalogues (*.sqlite);;All files (*)"));
    if (!file.isEmpty())
        OpenCatalogueFile(file);
}

void frmWizard::OpenCatalogueFile(const QString& file) {
    if (!QFileInfo(file).isFile()) {
        ForgetRecentCatalogue(file);
        fillRecentMenu();
        prompts().tell(QStringLiteral("Tomekeep"),
                       QStringLiteral("'%1' is no longer there; it has been taken off the recent catalogues.")
                           .arg(QDir::toNativeSeparators(file)),
                       PromptIcon::Warning);
        return;
    }
    const QString previous = gDBName;
    const QString previousFile = gCatalogueFile;
    UseCatalogueFile(file);
    switchCatalogue(previous, previousFile);
}

// Closes the catalogue and opens the one now named; on failure the previous one comes back.
bool frmWizard::switchCatalogue(const QString& previousName, const QString& previousFile) {
    gConn.close();
    if (DbStatus opened = openCatalogue(); !opened) {
        tellError(opened.error());
        reopenCatalogue(previousName, previousFile);
        return false;
    }
    SetCaption();
    catalogueOpened();
    return true;
}

void frmWizard::catalogueOpened() {
    RememberRecentCatalogue(CatalogueFile());
    fillRecentMenu();
}

void frmWizard::fillRecentMenu() {
    // An entry may be the one being triggered right now: it goes once its signal is done.
    for (QAction* entry : mnuFileRecent->actions()) {
        mnuFileRecent->removeAction(entry);
        entry->deleteLater();
    }
    const QStringList files = RecentCatalogues();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        QString shown = QDir::toNativeSeparators(file);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* entry = mnuFileRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(entry, &QAction::triggered, this, [this, file] {
            if (SaveCurrentBook())
                OpenCatalogueFile(file);
        });
    }
    mnuFileRecent->setEnabled(!files.isEmpty());
}

DbStatus frmWizard::openCatalogue() {
    if (DbStatus opened = OpenDatabase(); !opened)
        return opened;
    if (DbStatus updated = UpdateDatabase(); !updated)
        return updated;
    return loadList();
}

// The catalogue asked for could not be used: go back to the one that was open, so that the
// window keeps working and the name remembered for the next start is one that opens.
void frmWizard::reopenCatalogue(const QString& previousName, const QString& previousFile) {
    gConn.close();
    gDBName = previousName;
    gCatalogueFile = previousFile;
    SaveSetting(QStringLiteral("DBName"), previousName);
    SetCaption();
    if (DbStatus reopened = openCatalogue(); !reopened)
        tellError(reopened.error());
}

void frmWizard::mnuFileExit_Click() {
    if (!SaveCurrentBook())
        return;
    const PromptAnswer answer = prompts().ask(QStringLiteral("Tomekeep"), QStringLiteral("Exit Tomekeep?"),
                                              PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::Yes)
        close();
}

void frmWizard::mnuSearchClear_Click() {
    if (gSearchMode == kSearchAll)
        return;
    gSearchMode = kSearchAll;
    PopulateLstMain();
}

void frmWizard::ShowInternetSite(const QString& site) {
    imgInternet->setVisible(site != QStringLiteral("none"));
    imgInternet->setToolTip(site);
}

void frmWizard::mnuSetupInternet_Click() {
    frmInternet dialog(this);
    if (RunModal(dialog) == QDialog::Accepted && !dialog.ChosenSite().isEmpty())
        ShowInternetSite(dialog.ChosenSite());
}

void frmWizard::imgInternet_Click() {
    InternetSearch(QStringLiteral("title"), txtTitle->text());
}

void frmWizard::mnuHelpAbout_Click() {
    frmAbout dialog(this);
    RunModal(dialog);
}

void frmWizard::mnuPopupDelete_Click() {
    DeleteBook(gPopupBookId);
}

void frmWizard::listPopup(const QPoint& globalPos) {
    gPopupBookId = lstMain->selectedBookId();
    mnuPopup->popup(globalPos);
}

void frmWizard::listHeaderClicked(int column) {
    const ListSort sort = ClickedListSort({m_model->sortColumn(), m_model->sortOrder()}, column);
    StoreListSort(sort);
    if (DbStatus sorted = m_model->sortBy(sort.column, sort.order); !sorted)
        tellError(sorted.error());
    lstMain->header()->setSortIndicator(sort.column, sort.order);
    if (const int row = lstMain->selectedRow(); row >= 0)
        lstMain->scrollTo(m_model->index(row, BookListModel::ColTitle));
}

// The window itself stays enabled, so that the messages the work shows over it can be answered.
void frmWizard::takeInput(bool take) {
    centralWidget()->setEnabled(take);
    menuBar()->setEnabled(take);
    for (QShortcut* shortcut : findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
        shortcut->setEnabled(take);
    // A menu entry's key still reaches it while the menu bar is greyed: those entries are laid
    // aside too, and only those that were enabled come back.
    if (!take) {
        for (QAction* entry : findChildren<QAction*>()) {
            if (!entry->shortcut().isEmpty() && entry->isEnabled()) {
                entry->setEnabled(false);
                m_entriesLaidAside.push_back(entry);
            }
        }
        return;
    }
    for (const QPointer<QAction>& entry : std::exchange(m_entriesLaidAside, {})) {
        if (entry)
            entry->setEnabled(true);
    }
}

void frmWizard::RunWithoutInput(const std::function<void()>& work, std::function<void()> stop) {
    const QPointer<QWidget> focused = QApplication::focusWidget();
    m_stopWork = std::move(stop);
    takeInput(false);
    work();
    takeInput(true);
    m_stopWork = nullptr;
    if (focused)
        focused->setFocus();
    if (std::exchange(m_closeAfterWork, false))
        close();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    // The catalogue stays open under work that still reads it: the work stops first.
    if (m_stopWork) {
        m_closeAfterWork = true;
        m_stopWork();
        event->ignore();
        return;
    }
    // The close box and Alt+F4 keep the shown book's edits as every other way out does; a
    // choice to stay on the book keeps the program open.
    if (!SaveCurrentBook()) {
        event->ignore();
        return;
    }
    SaveFormPlacement(*this, QString());
    gConn.close();
    event->accept();
    QApplication::quit();
}
