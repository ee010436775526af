#include "app/Settings.h"
#include "main/BookTestData.h"
#include "search/SearchMatch.h"
#include "search/frmSearch.h"
#include "support/Parts.h"

namespace {

int idNamed(const QString& table, const QString& name) {
    auto id = GetLookupId(table, table + u"Id", name);
    return id ? *id : -1;
}

// A book in the list's sense: its subject and location rows exist unless told otherwise.
int addBook(const QString& title, const QString& label, const QString& notes, const QString& author,
            const QString& subject, const QString& award, bool locationExists = true) {
    BookFields book = PlainBook(title);
    book.labelNumber = label;
    book.publisher = u"Allen & Unwin"_s;
    book.notes = notes;
    book.authorId = idNamed(u"Author"_s, author);
    book.subjectId = idNamed(u"Subject"_s, subject);
    book.locationId = locationExists ? idNamed(u"Location"_s, u"Living Room"_s) : 999;
    auto id = InsertBook(book);
    if (id && !award.isEmpty())
        static_cast<void>(AddBookAward(*id, idNamed(u"Award"_s, award)));
    return id ? *id : -1;
}

// A catalogue with a few books worth searching for, beside the sample book.
bool openSearchCatalogue(TestHome& home) {
    if (!home.openFreshCatalogue())
        return false;
    Transaction books(gConn);
    idNamed(u"Author"_s, u"Smith, No Books"_s);
    idNamed(u"Subject"_s, u"Business & Investing"_s);
    return addBook("The Hobbit", "A-100", "A dragon guards the gold", "Tolkien, J.R.R.", "Entertainment",
                   "Nebula Award") > 0 &&
           addBook("War and Peace", "A-101", "", "Smithers, Al", "History", "") > 0 &&
           addBook("O'Brien's Tale", "B_7", "50% off", "O'Brien, Flann", "Humor", "") > 0 &&
           addBook("Lost Book", "C-1", "", "Nobody", "Espanol", "Nobel Prize", false) > 0 && books.commit();
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whether a search finds a listed book: the pattern's case, wildcards (the engine's own
    // included) and quotes, and names no listed book carries.
    void matchTests() {
        TestHome home;
        QVERIFY(openSearchCatalogue(home));
        using K = SearchKind;
        const struct {
            K kind;
            QStringList found;
            QStringList missed;
        } cases[] = {{K::Title,
                      {"the*", "THE HOBBIT", "*war*", "O'Brien*", "?he Hobbit", "The_Hobbit", "W%e"},
                      {"hobbit"}},
                     {K::Label, {"a-1??"}, {"A-1"}},
                     {K::Publisher, {"allen & unwin"}, {}},
                     {K::Notes, {"*DRAGON*", "*50%*"}, {"dragon"}},
                     {K::Subject, {"entertain*"}, {"Business*", "Espanol"}},
                     {K::Location, {"living room"}, {"Library*"}},
                     {K::Award, {"nebula*"}, {"Nobel Prize", "Audie*"}},
                     {K::Author, {"tolkien*", "o'brien, flann"}, {"Smith, No*", "zz*"}}};
        for (const auto& c : cases) {
            for (const QString& text : c.found + c.missed) {
                const DbResult<SearchMatch> match = FindSearchMatch(c.kind, text);
                QVERIFY2(match && match->found == c.found.contains(text), qPrintable(text));
            }
        }
        QStringList notes;
        for (const QString typed : {"dragon", "  red dragon ", "*dragon*", "dragon*", "*"})
            notes << WrapInAsterisks(typed);
        QCOMPARE(notes, QStringList({"*dragon*", "*red dragon*", "*dragon*", "*dragon*", "*"}));
    }

    void eachSearchWindow_data() {
        // windowTexts: window, caption, label, box, lookup button
        // messageTexts: empty text, no match before the text
        // typedTexts: matching text as typed, as handed over
        AddColumns<QString, QString, QString, int, QString*, QString, QString, QString>(
            "menu", "windowTexts", "help", "mode", "value", "messageTexts", "typedTexts", "listed");
        AddRow("title", "mnuSearchTitle", "frmSearchTitle|Search Title|Title:|txtTitle|",
               "Enter the title of the book you want to find.", 1, &gSearchTitle,
               "Enter a title to search for.|No books match the title '", "the*|the*", "The Hobbit");
        AddRow("label", "mnuSearchBookLabel", "frmSearchLabel|Search Label Number|Label:|txtLabel|",
               "Enter the label number of the movie you want to find.", 3, &gSearchLabel,
               "Enter a label number to search.|No books match the label number '", "B_7|B_7",
               "O'Brien's Tale");
        AddRow("award", "mnuSearchAward", "frmSearchAward|Search Award|Award:|txtSearch|&Lookup Award",
               "Enter the name of an award to find the books with that award..", 4, &gSearchAward,
               "Enter an award to search for.|No books have an award that matches '",
               "Nebula Award|Nebula Award", "The Hobbit");
        AddRow("publisher", "mnuSearchPublisher", "frmSearchPublisher|Search Publisher|Publisher:|txtSearch|",
               "Enter the publisher of the book you want to find.", 5, &gSearchPublisher,
               "Enter a publisher to search for.|No books match the publisher '", "allen*|allen*",
               "O'Brien's Tale|The Hobbit|War and Peace");
        AddRow("author", "mnuSearchAuthor", "frmSearchAuthor|Search Author|Author:|txtSearch|",
               "Enter the author of the book you want to find.", 6, &gSearchAuthor,
               "Enter a Author to search for.|No books match the author '", "smith*|smith*", "War and Peace");
        AddRow("subject", "mnuSearchSubject",
               "frmSearchSubject|Search Subject|Subject:|txtSearch|&Lookup Subject",
               "Enter the subject of the books you want to find.", 7, &gSearchSubject,
               "Enter a subject to search for.|No books have a subject that matches '", "Humor|Humor",
               "O'Brien's Tale");
        AddRow("location", "mnuSearchLocation",
               "frmSearchLocation|Search Location|Location:|txtSearch|&Lookup Location",
               "Enter the name of the storage location of the books you want to find.", 8, &gSearchLocation,
               "Enter a location to search for.|No books have a location that matches '", "living*|living*",
               "O'Brien's Tale|The Hobbit|War and Peace");
        AddRow("notes", "mnuSearchNotes", "frmSearchNotes|Search Notes|Notes:|txtSearch|",
               "Enter any notes you want to find.", 9, &gSearchNotes,
               "Enter notes to search for.|No books match the notes '", " dragon |*dragon*", "The Hobbit");
    }

    // Through the Search menu: texts, the empty and no-match refusals, the remembered text and
    // the books the list then shows.
    void eachSearchWindow() {
        const auto [menu, help, mode, value, windowTexts, messageTexts, typedTexts, listed] =
            FetchColumns<QString, QString, int, QString*, QString, QString, QString, QString>(
                "menu", "help", "mode", "value", "windowTexts", "messageTexts", "typedTexts", "listed");
        const QStringList texts = Parts(windowTexts);
        const QStringList messages = Parts(messageTexts);
        const QStringList typed = Parts(typedTexts);
        CheckedHome home;
        QVERIFY(openSearchCatalogue(home));
        const QString key = u"gSearch" + texts[0].mid(9);
        SaveSetting(key, u" remembered"_s);
        const auto main = OpenMainWindow();
        const auto search = [&](frmSearch& window) {
            // The row's texts, then what every search window shares.
            QCOMPARE(QStringList(
                         {window.objectName(), window.windowTitle(), window.lblSearch->text(),
                          window.txtSearch->objectName(), window.cmdLookup ? window.cmdLookup->text() : "",
                          window.cmdSearch->text() + window.cmdCancel->text(),
                          QString::number(window.txtSearch->maxLength()), window.txtSearch->selectedText()}),
                     texts + QStringList({"&Search&Cancel", "100", " remembered"}));
            QCOMPARE(window.lblHelp->text(),
                     help + "  Use * to represent any group of letters and ? to represent any one letter.");
            if (window.cmdLookup) {
                QString picker;
                home.onNextModal([&picker](QDialog& dialog) {
                    picker = dialog.objectName();
                    return QDialog::Rejected;
                });
                QTest::mouseClick(window.cmdLookup, Qt::LeftButton);
                QCOMPARE(picker, u"frmLookup" + texts[0].mid(9));
            }
            home.prompts().answerOk().answerOk();
            window.txtSearch->setText(u"   "_s);
            QTest::keyClick(window.txtSearch, Qt::Key_Return);
            QCOMPARE(home.prompts().last().text, messages[0]);
            QCOMPARE(GetSetting(key), u" remembered"_s);

            const QString nothing = u" No'such*thing "_s;
            const QString shown = mode == kSearchNotes ? WrapInAsterisks(nothing) : nothing;
            window.txtSearch->setText(nothing);
            QTest::keyClick(window.txtSearch, Qt::Key_Return);
            QCOMPARE(home.prompts().lastShown(), u"Information: " + messages[1] + shown + u"'.");
            QCOMPARE(GetSetting(key) + u'|' + window.txtSearch->text(), shown + u'|' + shown);
            QVERIFY(window.isVisible() && gSearchMode == kSearchAll);
            window.txtSearch->setText(typed[0]);
            QTest::mouseClick(window.cmdSearch, Qt::LeftButton);
        };
        home.onNextModal([&search](QDialog& dialog) {
            search(dynamic_cast<frmSearch&>(dialog));
            return dialog.result();
        });
        main->findChild<QAction*>(menu)->trigger();
        QCOMPARE(u"%1 "_s.arg(gSearchMode) + *value + u'|' + GetSetting(key),
                 u"%1 "_s.arg(mode) + typed[1] + u'|' + typed[1]);
        QCOMPARE(ListedTitles(main->ListModel()), Parts(listed));
        // Every matching author goes to the book list, those without books included.
        if (mode == kSearchAuthor)
            QCOMPARE(gSearchAuthorIds, u"%1,%2"_s.arg(idNamed(u"Author"_s, "Smith, No Books"))
                                           .arg(idNamed(u"Author"_s, "Smithers, Al")));
    }
};

TOMEKEEP_TEST(SearchTest);
#include "tst_search.moc"
