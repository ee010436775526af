#include "app/Paths.h"
#include "app/Settings.h"
#include "app/frmHelp.h"
#include "internet/InternetSearch.h"
#include "internet/frmInternet.h"
#include "lookups/frmLookupList.h"
#include "main/BookTestData.h"
#include "main/LookupImage.h"
#include "reports/ReportWriter.h"
#include "reports/frmPrinting.h"

class MenusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each menu's caption and entries in order ("-" a separator), with the key each shows; "~"
    // marks an entry that waits, disabled, for the window another part of the program brings.
    // Each entry opens its window once the shown book is saved: a lookup question answered No
    // keeps it shut. Where Yes destroys, Enter answers the question with No.
    void menusHoldTheirEntriesWhichOpenTheirWindows() {
        const char* const menus[][2] = {
            {"mnuFile",
             "&File|&Open book database..|Open Catalogue &File…\tCtrl+O|~Recen&t Catalogues|R&estore from "
             "Backup…|-|&Add Book\tCtrl+N|&Delete Book|&Next Book|&Previous Book|-|&Printer setup..|-|"
             "E&xit\tCtrl+Q"},
            {"mnuSearch",
             "&Search|&Title search..|-|&Author search..|&Subject search..|La&bel # search..|&Location "
             "search..|A&ward search..|&Publisher search..|&Notes search|-|&Clear search|&Reload list\tF5"},
            {"mnuReports",
             "&Reports|&Book listing..|Book listing (by &label #)..|Book listing (&detailed)..|&Inventory by "
             "location..|&Cost summary..|Books l&ent out.."},
            {"mnuSetup",
             "Set&up|&Authors..|&Subjects..|&Formats..|&Ratings..|A&wards..|&Storage locations..|-|"
             "&Delete Unused authors..|-|&Internet Search settings.."},
            {"mnuTools",
             "&Tools|&Export to file..|&Import from file..|Import from &Other Programs\u2026|Export to "
             "&CSV\u2026|-|&Repair data..|-|&Start over.."},
            {"mnuHelp", "&Help|Tomekeep &Handbook\tF1|&About.."},
            {"mnuPopup", "Popup|Add New Book|Delete Book"}};
        // Each entry and the window it opens, as "entry=window"; the search entries are tried with
        // their windows. Start Over and the Ratings list ask from their own windows.
        const QString pairs =
            u"mnuSearchTitle=frmSearchTitle mnuSetupAuthors=frmAuthors mnuSetupSubjects=frmSubjects "
            "mnuSetupFormats=frmFormats mnuSetupAwards=frmAwards mnuSetupStorageLocations=frmLocations "
            "mnuFilePrinterSetup=frmPrintSetup mnuToolsExport=frmExport mnuToolsImport=frmImport "
            "mnuToolsImportOther=frmImportOther mnuHelpAbout=frmAbout mnuToolsStartOver=frmStartOver "
            "mnuSetupRatings=frmRatings mnuFileDeleteBook="_s;
        FRESH_MAIN_WINDOW(home, main);
        for (const auto& [menu, entries] : menus) {
            const auto* found = main->findChild<QMenu*>(QString::fromLatin1(menu));
            QVERIFY2(found, menu);
            QStringList shown{found->title()};
            for (const QAction* entry : found->actions()) {
                if (entry->isSeparator())
                    shown << u"-"_s;
                else
                    shown << (entry->isEnabled() ? QString() : u"~"_s) + entry->text() +
                                 (entry->shortcut().isEmpty() ? QString()
                                                              : u'\t' + entry->shortcut().toString());
            }
            QCOMPARE(shown.join(u'|'), QString::fromUtf8(entries));
            QCOMPARE(main->menuBar()->actions().contains(found->menuAction()),
                     qstrcmp(menu, "mnuPopup") != 0);
        }
        main->cboSubject->setEditText(u"Poetry"_s);
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::Yes);
        main->mnuSearchTitle->trigger();
        QVERIFY(main->IsDirty());
        // Start Over, deleting Teen and deleting the book are answered No.
        home.prompts().answer(PromptAnswer::No).answer(PromptAnswer::No).answer(PromptAnswer::No);
        for (const QString& pair : pairs.split(u' ')) {
            QString opened;
            home.onNextModal([&opened](QDialog& dialog) {
                opened = dialog.objectName();
                if (opened == u"frmStartOver"_s) {
                    ConfirmStartOver(dialog);
                } else if (auto* list = qobject_cast<frmLookupList*>(&dialog);
                           list && opened == u"frmRatings"_s) {
                    list->lstData->setCurrentItem(list->lstData->findItems(u"Teen"_s, Qt::MatchExactly)[0]);
                    list->cmdDelete->click();
                }
                return int(QDialog::Rejected);
            });
            QAction* action = main->findChild<QAction*>(pair.section(u'=', 0, 0));
            QVERIFY2(action, qPrintable(pair));
            action->trigger();
            QCOMPARE(pair.section(u'=', 0, 0) + u'=' + opened, pair);
            QVERIFY(!main->IsDirty());
        }
        // The Delete Book entry opens no window of its own.
        QCOMPARE(home.pendingModalActions(), 1);
        QStringList defaultNo;
        for (const auto& record : home.prompts().records())
            if (record.defaultAnswer == PromptAnswer::No)
                defaultNo << record.text;
        QCOMPARE(defaultNo, QStringList({"Reset database (delete all books)?", "Delete 'Teen'?",
                                         "Delete Book 'Sample Book #1'?"}));
        QCOMPARE(
            TextsOf(u"SELECT COUNT(*), (SELECT COUNT(*) FROM [Rating] WHERE [Name] = 'Teen') FROM [Book]"_s),
            QStringList(u"1|1"_s));
    }

    // Tab walks the fields in order; Alt and a letter open each menu, while an edit waits unsaved
    // (Alt+S is the Search menu, and Save Changes has Ctrl+S), and press each button.
    void keysReachEveryFieldMenuAndButton() {
        FRESH_MAIN_WINDOW(home, window, true);
        // Tab walks the fields in order.
        window->txtTitle->setFocus();
        QTRY_COMPARE(FocusedName(), u"txtTitle"_s);
        QStringList visited;
        for (int i = 0; i < 18; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << FocusedName();
        }
        QCOMPARE(visited, QStringList({"txtIsbn", "cmdLookupIsbn", "txtAuthor", "cboSubject", "txtStars",
                                       "cboFormat", "txtPages", "cboRating", "txtCopyright", "txtPublisher",
                                       "lstAwards", "cboLocation", "txtLabelNumber", "txtAcquireDate",
                                       "txtCost", "txtLentTo", "txtLentDate", "txtNotes"}));
        const auto altKey = [&window](QChar letter) {
            QTest::keyClick(window.get(), Qt::Key(Qt::Key_A + (letter.unicode() - u'A')), Qt::AltModifier);
        };
        window->txtPublisher->setFocus();
        QTest::keyClicks(window->txtPublisher, u"X"_s);
        // Alt+S last: the Search menu, with the edit still waiting once it is open.
        for (const QString& pair :
             u"F=mnuFile R=mnuReports U=mnuSetup T=mnuTools H=mnuHelp S=mnuSearch"_s.split(u' ')) {
            auto* menu = window->findChild<QMenu*>(pair.mid(2));
            altKey(pair[0]);
            QTRY_VERIFY2(menu->isVisible(), qPrintable(pair));
            if (menu == window->mnuSearch)
                QTest::qWait(250);
            menu->hide();
        }
        QVERIFY(window->IsDirty());
        QTest::keyClick(window->txtPublisher, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!window->IsDirty());
        QCOMPARE(StoredColumn(1, u"Publisher"_s).toString(), u"X"_s);
        for (const QString& pair :
             u"V=cmdRemove A=cmdAddBook D=cmdDeleteBook P=cmdPreviousBook N=cmdNextBook W=cmdAddAward"_s
                 .split(u' ')) {
            auto* button = window->findChild<QPushButton*>(pair.mid(2));
            // Add Award opens the award picker: leave it at once.
            if (button == window->cmdAddAward)
                home.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
            home.prompts().answer(PromptAnswer::No);
            QSignalSpy clicked(button, &QPushButton::clicked);
            altKey(pair[0]);
            // A button reached by its key shows itself pressed for a moment before it clicks.
            QTRY_VERIFY2(clicked.count() == 1, qPrintable(pair));
            home.prompts().clear();
        }
    }

    // The desktop's own keys, with a book added behind the list's back: a command that reloads
    // the list shows it.
    void standardKeysRunTheirCommands() {
        FRESH_MAIN_WINDOW(home, window, true);
        AddTestBook(u"Added behind the list's back"_s);
        const std::pair<QKeySequence, const char*> keys[] = {
            {QKeySequence(Qt::CTRL | Qt::Key_Q), "1 books, Exit Tomekeep?"},
            {QKeySequence(Qt::Key_F5), "2 books"},
            {QKeySequence(Qt::CTRL | Qt::Key_N), "3 books, title focused"},
            {QKeySequence(Qt::Key_F1), "3 books, Tomekeep Handbook"}};
        // Exit is answered No.
        home.prompts().answer(PromptAnswer::No);
        for (const auto& [key, effect] : keys) {
            window->lstMain->setFocus();
            QTRY_COMPARE(FocusedName(), u"lstMain"_s);
            const int heard = home.prompts().count();
            QTest::keySequence(window.get(), key);
            QStringList seen{QString::number(window->ListModel().rowCount()) + u" books"_s};
            if (FocusedName() == u"txtTitle"_s)
                seen << u"title focused"_s;
            seen << home.prompts().texts().mid(heard);
            if (frmHelp* help = HelpWindow(); help && help->isVisible()) {
                QCOMPARE(help->txtHandbook->source().adjusted(QUrl::RemoveFragment), HandbookUrl());
                seen << help->windowTitle();
                help->close();
            }
            QVERIFY2(seen.join(u", "_s) == QString::fromUtf8(effect),
                     qPrintable(key.toString() + u": " + seen.join(u", "_s)));
            QVERIFY(window->isVisible());
        }
    }

    void lookupImageFollowsTheSiteAndTheEditor() {
        FRESH_CHECKED_HOME(home);
        SaveSetting(u"InternetSite"_s, u"none"_s);
        const auto window = OpenMainWindow();
        QVERIFY(!window->imgInternet->isVisible() && window->imgInternet->toolTip() == u"none"_s);

        home.onNextModal([](QDialog& dialog) {
            auto& settings = dynamic_cast<frmInternet&>(dialog);
            settings.optInternet[2]->setChecked(true);
            settings.cmdOK->click();
            return dialog.result();
        });
        window->mnuSetupInternet->trigger();
        QVERIFY(window->imgInternet->isVisible() &&
                window->imgInternet->toolTip() == u"New York Public Library"_s);

        QList<QUrl> opened;
        const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
        QTest::mouseClick(window->imgInternet, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>({QUrl(u"http://catalog.nypl.org/search/t?SEARCH=Sample+Book+%231"_s)}));

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(window->imgInternet, &enter);
        QCOMPARE(window->imgInternet->pixmap().toImage(), window->imgInternet2->pixmap().toImage());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window->imgInternet, &leave);
        QCOMPARE(window->imgInternet->pixmap().toImage(), window->imgInternet1->pixmap().toImage());

        gSearchMode = kSearchTitle;
        gSearchTitle = u"nothing"_s;
        home.prompts().answer(PromptAnswer::No);
        window->PopulateLstMain();
        QCOMPARE(window->imgInternet->pixmap().toImage(), window->imgInternet3->pixmap().toImage());
        QTest::mouseClick(window->imgInternet, Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
        SetUrlOpener(previous);

        home.onNextModal([](QDialog& dialog) {
            dynamic_cast<frmInternet&>(dialog).cmdCancel->click();
            return dialog.result();
        });
        window->mnuSetupInternet->trigger();
        QCOMPARE(window->imgInternet->toolTip(), u"New York Public Library"_s);
    }

    // While a report is written the window takes no input; closing it stops the report, then
    // shuts down with nothing of the report left behind.
    void closingWhileAReportIsWrittenStopsItFirst() {
        FRESH_CHECKED_HOME(home);
        QVERIFY(gConn.beginTransaction());
        for (int i = 0; i < 200; ++i)
            AddTestBook(u"Book %1"_s.arg(i), [](BookFields& book) { book.notes = QString(200, u'n'); });
        QVERIFY(gConn.commit());
        const auto window = OpenMainWindow();
        const qint64 previousInterval = Writer().SetEventInterval(0);
        QStringList seen;
        std::function<void()> closeWhileWriting = [&] {
            if (!PrintingWindow() || Writer().PageNumber() < 2) {
                QTimer::singleShot(0, closeWhileWriting);
                return;
            }
            seen << QString::number(window->menuBar()->isEnabled())
                 << QString::number(window->centralWidget()->isEnabled());
            window->close();
            seen << QString::number(window->isVisible()) << QString::number(gConn.isOpen());
        };
        QTimer::singleShot(0, closeWhileWriting);
        window->mnuReportDetailed->trigger();
        Writer().SetEventInterval(previousInterval);
        seen << QString::number(window->isVisible()) << QString::number(gConn.isOpen())
             << QString::number(Writer().IsWriting()) << QString::number(PrintingWindow() != nullptr);
        // Still open while the report stopped; closed, with no report writing or shown, once it had.
        QCOMPARE(seen.join(u' '), u"0 0 1 1 0 0 0 0"_s);
        QVERIFY(QDir(SpoolFolder()).entryList({u"*.tmp"_s}, QDir::Files).isEmpty());
    }
};

TOMEKEEP_TEST(MenusTest);
#include "tst_menus.moc"
