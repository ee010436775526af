#include "app/Paths.h"
#include "app/Settings.h"
#include "app/frmHelp.h"
#include "db/Connection.h"
#include "internet/InternetSearch.h"
#include "internet/frmInternet.h"
#include "lookups/frmLookupList.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/BookTestData.h"
#include "main/LookupImage.h"
#include "main/SearchState.h"
#include "main/frmStartOver.h"
#include "main/frmWizard.h"
#include "reports/ReportWriter.h"
#include "reports/frmPrinting.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

QString focusedName() {
    QWidget* focused = QApplication::focusWidget();
    // An editable combo box hands its focus to its line edit.
    if (focused && qobject_cast<QComboBox*>(focused->parentWidget()))
        focused = focused->parentWidget();
    return focused ? focused->objectName() : QString();
}

std::unique_ptr<frmWizard> activeWindow() {
    auto window = OpenMainWindow();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    return window;
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each menu's entries in order ("-" a separator), with the key each shows; "~" marks an
    // entry that waits, disabled, for the window another part of the program brings.
    void menusHoldTheirEntries_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("file") << "mnuFile"
                              << "&File"
                              << QStringList{"&Open book database..",
                                             "Open Catalogue &File…\tCtrl+O",
                                             "~Recen&t Catalogues",
                                             "R&estore from Backup…",
                                             "-",
                                             "&Add Book\tCtrl+N",
                                             "&Delete Book",
                                             "&Next Book",
                                             "&Previous Book",
                                             "-",
                                             "&Printer setup..",
                                             "-",
                                             "E&xit\tCtrl+Q"};
        QTest::newRow("search") << "mnuSearch"
                                << "&Search" << QStringList{"&Title search..",   "-",
                                                            "&Author search..",  "&Subject search..",
                                                            "La&bel # search..", "&Location search..",
                                                            "A&ward search..",   "&Publisher search..",
                                                            "&Notes search",     "-",
                                                            "&Clear search",     "&Reload list\tF5"};
        QTest::newRow("reports") << "mnuReports"
                                 << "&Reports"
                                 << QStringList{"&Book listing..",
                                                "Book listing (by &label #)..",
                                                "Book listing (&detailed)..",
                                                "&Inventory by location..",
                                                "&Cost summary..",
                                                "Books l&ent out.."};
        QTest::newRow("setup") << "mnuSetup"
                               << "Set&up" << QStringList{"&Authors..", "&Subjects..",
                                                          "&Formats..", "&Ratings..",
                                                          "A&wards..",  "&Storage locations..",
                                                          "-",          "&Delete Unused authors..",
                                                          "-",          "&Internet Search settings.."};
        QTest::newRow("tools") << "mnuTools"
                               << "&Tools"
                               << QStringList{"&Export to file..",
                                              "&Import from file..",
                                              "Import from &Other Programs\u2026",
                                              "Export to &CSV\u2026",
                                              "-",
                                              "&Repair data..",
                                              "-",
                                              "&Start over.."};
        QTest::newRow("help") << "mnuHelp"
                              << "&Help" << QStringList{"Tomekeep &Handbook\tF1", "&About.."};
        QTest::newRow("popup") << "mnuPopup"
                               << "Popup" << QStringList{"Add New Book", "Delete Book"};
    }

    void menusHoldTheirEntries() {
        QFETCH(QString, menu);
        QFETCH(QString, caption);
        QFETCH(QStringList, entries);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        const auto* found = window->findChild<QMenu*>(menu);
        QVERIFY(found);
        QCOMPARE(found->title(), caption);
        QStringList shown;
        for (const QAction* entry : found->actions()) {
            if (entry->isSeparator())
                shown << QStringLiteral("-");
            else
                shown << (entry->isEnabled() ? QString() : QStringLiteral("~")) + entry->text() +
                             (entry->shortcut().isEmpty() ? QString() : u'\t' + entry->shortcut().toString());
        }
        QCOMPARE(shown, entries);
        QCOMPARE(window->menuBar()->actions().contains(found->menuAction()),
                 menu != QStringLiteral("mnuPopup"));
    }

    void leavingCommandsSaveTheBookFirst() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        QStringList opened;
        const auto note = [&opened](QDialog& dialog) {
            opened << dialog.objectName();
            return int(QDialog::Rejected);
        };
        window->cboSubject->setEditText(QStringLiteral("Poetry"));
        home.prompts().answer(PromptAnswer::No);
        window->mnuSearchTitle->trigger();
        QVERIFY(opened.isEmpty());
        home.onNextModal(note);
        home.prompts().answer(PromptAnswer::Yes);
        window->mnuSearchTitle->trigger();
        QCOMPARE(opened, QStringList{QStringLiteral("frmSearchTitle")});
        QVERIFY(!window->IsDirty());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void entriesOpenTheirWindows_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        const char* const pairs[][2] = {{"mnuSearchTitle", "frmSearchTitle"},
                                        {"mnuSearchAuthor", "frmSearchAuthor"},
                                        {"mnuSearchSubject", "frmSearchSubject"},
                                        {"mnuSearchBookLabel", "frmSearchLabel"},
                                        {"mnuSearchLocation", "frmSearchLocation"},
                                        {"mnuSearchAward", "frmSearchAward"},
                                        {"mnuSearchPublisher", "frmSearchPublisher"},
                                        {"mnuSearchNotes", "frmSearchNotes"},
                                        {"mnuSetupAuthors", "frmAuthors"},
                                        {"mnuSetupSubjects", "frmSubjects"},
                                        {"mnuSetupFormats", "frmFormats"},
                                        {"mnuSetupRatings", "frmRatings"},
                                        {"mnuSetupAwards", "frmAwards"},
                                        {"mnuSetupStorageLocations", "frmLocations"},
                                        {"mnuFilePrinterSetup", "frmPrintSetup"},
                                        {"mnuToolsExport", "frmExport"},
                                        {"mnuToolsImport", "frmImport"},
                                        {"mnuToolsImportOther", "frmImportOther"},
                                        {"mnuToolsStartOver", "frmStartOver"}};
        for (const auto& [entry, window] : pairs)
            QTest::newRow(entry) << entry << window;
    }

    void entriesOpenTheirWindows() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto main = OpenMainWindow();
        QString opened;
        home.onNextModal([&opened](QDialog& dialog) {
            opened = dialog.objectName();
            return int(QDialog::Rejected);
        });
        QAction* action = main->findChild<QAction*>(entry);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(opened, window);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void accessKeysReachTheirMenusAndButtons_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("target");
        QTest::newRow("Alt+F") << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("Alt+S is the Search menu") << int(Qt::Key_S) << "mnuSearch";
        QTest::newRow("Alt+R") << int(Qt::Key_R) << "mnuReports";
        QTest::newRow("Alt+U") << int(Qt::Key_U) << "mnuSetup";
        QTest::newRow("Alt+T") << int(Qt::Key_T) << "mnuTools";
        QTest::newRow("Alt+H") << int(Qt::Key_H) << "mnuHelp";
        QTest::newRow("Alt+A") << int(Qt::Key_A) << "cmdAddBook";
        QTest::newRow("Alt+D") << int(Qt::Key_D) << "cmdDeleteBook";
        QTest::newRow("Alt+P") << int(Qt::Key_P) << "cmdPreviousBook";
        QTest::newRow("Alt+N") << int(Qt::Key_N) << "cmdNextBook";
        QTest::newRow("Alt+W") << int(Qt::Key_W) << "cmdAddAward";
        QTest::newRow("Alt+V") << int(Qt::Key_V) << "cmdRemove";
    }

    void accessKeysReachTheirMenusAndButtons() {
        QFETCH(int, key);
        QFETCH(QString, target);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = activeWindow();
        home.prompts().answer(PromptAnswer::No);
        if (auto* menu = window->findChild<QMenu*>(target)) {
            QTest::keyClick(window.get(), Qt::Key(key), Qt::AltModifier);
            QTRY_VERIFY(menu->isVisible());
            menu->hide();
            home.prompts().clear();
            return;
        }
        auto* button = window->findChild<QPushButton*>(target);
        QVERIFY(button);
        // Add Award opens the award picker: leave it at once.
        if (target == QStringLiteral("cmdAddAward"))
            home.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keyClick(window.get(), Qt::Key(key), Qt::AltModifier);
        // A button reached by its key shows itself pressed for a moment before it clicks.
        QTRY_COMPARE(clicked.count(), 1);
        home.prompts().clear();
    }

    void saveChangesHasItsOwnKey() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = activeWindow();
        window->txtPublisher->setFocus();
        QTest::keyClicks(window->txtPublisher, QStringLiteral("X"));
        QVERIFY(window->IsDirty());
        QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(window->mnuSearch->isVisible());
        QTest::qWait(250);
        QVERIFY(window->IsDirty());
        window->mnuSearch->hide();
        QTest::keyClick(window->txtPublisher, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!window->IsDirty());
        QCOMPARE(StoredColumn(1, QStringLiteral("Publisher")).toString(), QStringLiteral("X"));
    }

    // The desktop's own keys, with a book added behind the list's back: a command that reloads
    // the list shows it.
    void standardKeysRunTheirCommands_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+N adds a book") << QKeySequence(Qt::CTRL | Qt::Key_N) << "3 books, title focused";
        QTest::newRow("F5 reloads the list") << QKeySequence(Qt::Key_F5) << "2 books";
        QTest::newRow("Ctrl+Q is File, Exit")
            << QKeySequence(Qt::CTRL | Qt::Key_Q) << "1 books, Exit Tomekeep?";
        QTest::newRow("F1 opens the handbook") << QKeySequence(Qt::Key_F1) << "1 books, Tomekeep Handbook";
    }
    void standardKeysRunTheirCommands() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, effect);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = activeWindow();
        AddTestBook(QStringLiteral("Added behind the list's back"));
        window->lstMain->setFocus();
        QTRY_COMPARE(focusedName(), QStringLiteral("lstMain"));
        home.prompts().answer(PromptAnswer::No);
        QTest::keySequence(window.get(), key);
        QStringList seen{QString::number(window->ListModel().rowCount()) + QStringLiteral(" books")};
        if (focusedName() == QStringLiteral("txtTitle"))
            seen << QStringLiteral("title focused");
        seen << home.prompts().texts();
        if (frmHelp* help = HelpWindow(); help && help->isVisible()) {
            QCOMPARE(help->txtHandbook->source().adjusted(QUrl::RemoveFragment), HandbookUrl());
            seen << help->windowTitle();
            help->close();
        }
        QCOMPARE(seen.join(QStringLiteral(", ")), effect);
        QVERIFY(window->isVisible());
    }

    void tabWalksTheFieldsInOrder() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = activeWindow();
        window->txtTitle->setFocus();
        QTRY_COMPARE(focusedName(), QStringLiteral("txtTitle"));
        QStringList visited;
        for (int i = 0; i < 18; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusedName();
        }
        QCOMPARE(visited, QStringList({"txtIsbn", "cmdLookupIsbn", "txtAuthor", "cboSubject", "txtStars",
                                       "cboFormat", "txtPages", "cboRating", "txtCopyright", "txtPublisher",
                                       "lstAwards", "cboLocation", "txtLabelNumber", "txtAcquireDate",
                                       "txtCost", "txtLentTo", "txtLentDate", "txtNotes"}));
    }

    void clearSearchReloadsOnlyWhenASearchIsActive() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("Sample*");
        const auto window = OpenMainWindow();
        AddTestBook(QStringLiteral("Added behind the list's back"));
        window->mnuSearchClear->trigger();
        QCOMPARE(gSearchMode, int(kSearchAll));
        QCOMPARE(window->ListModel().rowCount(), 2);
        AddTestBook(QStringLiteral("Another"));
        window->mnuSearchClear->trigger();
        QCOMPARE(window->ListModel().rowCount(), 2);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void lookupImageFollowsTheSiteAndTheEditor() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        SaveSetting(QStringLiteral("InternetSite"), QStringLiteral("none"));
        const auto window = OpenMainWindow();
        QVERIFY(!window->imgInternet->isVisible());
        QCOMPARE(window->imgInternet->toolTip(), QStringLiteral("none"));

        home.onNextModal([](QDialog& dialog) {
            auto& settings = dynamic_cast<frmInternet&>(dialog);
            settings.optInternet[2]->setChecked(true);
            settings.cmdOK->click();
            return dialog.result();
        });
        window->mnuSetupInternet->trigger();
        QVERIFY(window->imgInternet->isVisible());
        QCOMPARE(window->imgInternet->toolTip(), QStringLiteral("New York Public Library"));

        QList<QUrl> opened;
        const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
        QTest::mouseClick(window->imgInternet, Qt::LeftButton);
        QCOMPARE(
            opened,
            QList<QUrl>({QUrl(QStringLiteral("http://catalog.nypl.org/search/t?SEARCH=Sample+Book+%231"))}));

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(window->imgInternet, &enter);
        QCOMPARE(window->imgInternet->pixmap().toImage(), window->imgInternet2->pixmap().toImage());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window->imgInternet, &leave);
        QCOMPARE(window->imgInternet->pixmap().toImage(), window->imgInternet1->pixmap().toImage());

        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("nothing");
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
        QCOMPARE(window->imgInternet->toolTip(), QStringLiteral("New York Public Library"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // Enter answers a question with its default button: where Yes destroys, that is No.
    void destructiveQuestionsDefaultToNo_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("question");
        QTest::newRow("delete book") << "mnuFileDeleteBook"
                                     << "Delete Book 'Sample Book #1'?";
        QTest::newRow("start over") << "mnuToolsStartOver"
                                    << "Reset database (delete all books)?";
        QTest::newRow("lookup name") << "mnuSetupRatings"
                                     << "Delete 'Teen'?";
    }

    void destructiveQuestionsDefaultToNo() {
        QFETCH(QString, entry);
        QFETCH(QString, question);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        // Start Over and the Ratings list ask from their own windows.
        if (entry != QStringLiteral("mnuFileDeleteBook"))
            home.onNextModal([](QDialog& dialog) {
                if (auto* startOver = qobject_cast<frmStartOver*>(&dialog)) {
                    startOver->chkStartOver1->setChecked(true);
                    startOver->cmdStartOver->click();
                } else if (auto* list = qobject_cast<frmLookupList*>(&dialog)) {
                    list->lstData->setCurrentItem(
                        list->lstData->findItems(QStringLiteral("Teen"), Qt::MatchExactly)[0]);
                    list->cmdDelete->click();
                }
                return int(QDialog::Rejected);
            });
        home.prompts().answer(PromptAnswer::No);
        QAction* action = window->findChild<QAction*>(entry);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(home.prompts().last().text, question);
        QCOMPARE(home.prompts().last().defaultAnswer, PromptAnswer::No);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Rating] WHERE [Name] = 'Teen'")), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // While a report is written the window takes no input; closing it stops the report, then
    // shuts down with nothing of the report left behind.
    void closingWhileAReportIsWrittenStopsItFirst() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.beginTransaction());
        for (int i = 0; i < 200; ++i)
            AddTestBook(QStringLiteral("Book %1").arg(i),
                        [](BookFields& book) { book.notes = QString(200, u'n'); });
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
        // Still open while the report stopped; closed once it had.
        QCOMPARE(seen, (QStringList{"0", "0", "1", "1"}));
        QVERIFY(!window->isVisible());
        QVERIFY(!gConn.isOpen());
        QVERIFY(!Writer().IsWriting());
        QCOMPARE(PrintingWindow(), nullptr);
        QVERIFY(QDir(SpoolFolder()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void aboutOpensModally() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        QString shown;
        home.onNextModal([&shown](QDialog& dialog) {
            shown = dialog.objectName() + u'|' + dialog.windowTitle() + u'|' +
                    dialog.findChild<QLabel*>(QStringLiteral("lblPgCnt"))->text();
            return int(QDialog::Accepted);
        });
        window->mnuHelpAbout->trigger();
        QCOMPARE(shown, QStringLiteral("frmAbout|About Tomekeep|Books on file: 1"));
        QCOMPARE(home.pendingModalActions(), 0);
    }
};

TOMEKEEP_TEST(MenusTest);
#include "tst_menus.moc"
