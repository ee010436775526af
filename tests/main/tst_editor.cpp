#include "db/Catalogue.h"
#include "exchange/Importer.h"
#include "main/BookEditor.h"
#include "main/BookTestData.h"
#include "main/BookText.h"
#include "main/CoverView.h"
#include "main/Maintenance.h"
#include "online/Covers.h"
#include "support/CaseTestData.h"
#include "support/SecondProgram.h"
#include "support/StandInServer.h"

namespace {

// Puts the program's locale back when a test that changed it ends.
struct LocaleGuard {
    explicit LocaleGuard(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~LocaleGuard() { QLocale::setDefault(previous); }
    QLocale previous = QLocale();
};

void clickRow(frmWizard& window, int bookId) {
    const QModelIndex index =
        window.ListModel().index(window.ListModel().rowOfBook(bookId), BookListModel::ColTitle);
    QTest::mouseClick(window.lstMain->viewport(), Qt::LeftButton, {},
                      window.lstMain->visualRect(index).center());
}

int shownBookId(const frmWizard& window) {
    return window.txtBookId->text().toInt();
}

QString storedTitle(int bookId) {
    return StoredColumn(bookId, u"Title"_s).toString();
}

int storedCoverHeight(int bookId) {
    const auto cover = ReadCover(bookId);
    return cover ? QImage::fromData(*cover).height() : -1;
}

void dropFile(CoverView* view, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Delivered to the view itself: the application passes drops only to the target of a real drag.
    static_cast<QObject*>(view)->event(&drop);
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Shown costs and stars read back unchanged in every locale; typed costs are read as the
    // user means them ("(shown)": the cost's own shown text).
    void costAndStarsTextsReadBack_data() {
        AddColumns<QString, QString, qint64, double>("locale", "text", "costUnits", "stars");
        for (const char* locale : {"en_US", "de_DE", "fr_FR", "de_CH"}) {
            QTest::addRow("%s whole", locale) << locale << "(shown)" << qint64(0) << 4.0;
            QTest::addRow("%s cents", locale) << locale << "(shown)" << qint64(199500) << 3.5;
            QTest::addRow("%s thousands", locale) << locale << "(shown)" << qint64(12345000) << 4.25;
            QTest::addRow("%s negative", locale) << locale << "(shown)" << qint64(-199500) << 0.5;
            QTest::addRow("%s fine amount", locale) << locale << "(shown)" << qint64(12345678915) << 1.125;
        }
        AddRow("sign and thousands", "en_US", "$1,234.50", qint64(12345000), 0.0);
        AddRow("comma groups in English", "en_US", "19,95", qint64(19950000), 0.0);
        AddRow("accounting negative", "en_US", "($19.95)", qint64(-199500), 0.0);
        AddRow("German shown form", "de_DE", "1.234,50 €", qint64(12345000), 0.0);
        AddRow("German typed with a point", "de_DE", "19.95", qint64(199500), 0.0);
        AddRow("German thousands point", "de_DE", "1.234", qint64(12340000), 0.0);
        AddRow("nothing numeric", "en_US", "free", qint64(0), 0.0);
        AddRow("empty", "de_DE", "", qint64(0), 0.0);
    }

    void costAndStarsTextsReadBack() {
        auto [locale, text, costUnits, stars] =
            FetchColumns<QString, QString, qint64, double>("locale", "text", "costUnits", "stars");
        const QLocale where(locale);
        if (text == u"(shown)"_s)
            text = CostText(Money::fromUnits(costUnits), where);
        QCOMPARE(ReadCost(text, where).units(), costUnits);
        QCOMPARE(ReadStars(StarsText(stars, where), where), stars);
    }

    void starsAndNumbersReadTheirLeadingNumber() {
        const QLocale de(u"de_DE"_s), en(u"en_US"_s);
        QCOMPARE(QList<double>({ReadStars(u"4,5"_s, de), ReadStars(u"4.5"_s, de), ReadStars(u"4,5"_s, en)}),
                 QList<double>({4.5, 4.5, 4.0}));
        QCOMPARE(QStringList(
                     {StarsText(4, en), WholeNumberText(0), DateText(kNullDate), DateText(QDate(1900, 1, 1))})
                     .join(u'|'),
                 u"4.0|||01/01/1900"_s);
    }

    void showingAndSavingKeepsEveryValue_data() {
        // shown: cost, stars, acquired, lent, pages, copyright
        AddColumns<QString, QString>("locale", "shown");
        AddRow("en_US", "en_US", "$1,234.56|4.25|02/03/2001|12/31/2019||");
        AddRow("de_DE", "de_DE", "1.234,56\u00A0€|4,25|02/03/2001|12/31/2019||");
    }

    void showingAndSavingKeepsEveryValue() {
        const auto [locale, shown] = FetchColumns<QString, QString>("locale", "shown");
        const LocaleGuard guard(locale);
        FRESH_CHECKED_HOME(home);
        // A book with every value the locale could garble.
        const int priced = AddTestBook(u"Priced"_s, [](BookFields& b) {
            b.stars = 4.25;
            b.cost = Money::fromUnits(12345600);
            b.acquireDate = QDate(2001, 2, 3);
            b.lentDate = QDate(2019, 12, 31);
            b.publisher = u"First"_s;
            b.authorId = 5;
        });
        const QStringList columns = {"Stars", "Cost",      "AcquireDate", "LentDate",
                                     "Pages", "Copyright", "AuthorId"};
        const QString before = StoredColumns(priced, columns);
        const auto window = OpenMainWindow();
        clickRow(*window, priced);
        QCOMPARE(
            QStringList({window->txtCost->text(), window->txtStars->text(), window->txtAcquireDate->text(),
                         window->txtLentDate->text(), window->txtPages->text(), window->txtCopyright->text()})
                .join(u'|'),
            shown);
        QVERIFY(!window->IsDirty());
        QTest::keyClicks(window->txtPublisher, u" Edition"_s);
        QVERIFY(window->IsDirty() && window->cmdSaveChanges->isEnabled());
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QCOMPARE(StoredColumns(priced, columns + QStringList{"Publisher"}),
                 QString(before + u"|First Edition"));
    }

    // A box selects its text when it takes the focus. Lookup names the lists lack are asked about
    // in the boxes' order (a known name in another letter case is not); after No the focus goes back
    // to the box the question was about.
    void missingLookupNamesAreAskedAbout_data() {
        QTest::addColumn<int>("answer");
        // stored title, shown title, focused box (Cost had it), whether edits are left unsaved
        QTest::addColumn<QString>("after");
        AddRow("yes adds them", int(PromptAnswer::Yes), "Renamed|Renamed|lstMain|saved");
        AddRow("no stays on the book", int(PromptAnswer::No), "Sample Book #1|Renamed|cboSubject|unsaved");
        AddRow("cancel drops the edits", int(PromptAnswer::Cancel),
               "Sample Book #1|Sample Book #1|txtCost|saved");
    }

    void missingLookupNamesAreAskedAbout() {
        const auto [answer, after] = FetchColumns<int, QString>("answer", "after");
        FRESH_MAIN_WINDOW(home, window, true);
        for (QLineEdit* box : {window->txtTitle, window->txtPublisher, window->txtCost}) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            QCOMPARE(box->selectedText(), box->text());
        }
        window->txtTitle->setText(u"Renamed"_s);
        window->cboLocation->setEditText(u"Attic"_s);
        window->cboFormat->setEditText(u"Scroll"_s);
        window->cboRating->setEditText(u"teen"_s);
        window->cboSubject->setEditText(u"Poetry"_s);
        delete window->lstAwards->takeItem(0);
        const bool added = PromptAnswer(answer) == PromptAnswer::Yes;
        home.prompts().answer(PromptAnswer(answer));
        if (added)
            home.prompts().answer(PromptAnswer::Yes).answer(PromptAnswer::Yes);
        QCOMPARE(window->SaveCurrentBook(), PromptAnswer(answer) != PromptAnswer::No);
        const auto& first = home.prompts().records().first();
        QCOMPARE(first.title + u": " + first.text,
                 u"Add Subject?: Subject 'Poetry' does not exist.  Add it?"_s);
        QCOMPARE(first.buttons, PromptButtons::YesNoCancel);
        QCOMPARE(home.prompts().texts().mid(1),
                 added ? QStringList({"Format 'Scroll' does not exist.  Add it?",
                                      "Location 'Attic' does not exist.  Add it?"})
                       : QStringList());
        // Poetry added or not; the award links are rewritten before the question, whatever its answer.
        QCOMPARE(TextsOf(u"SELECT (SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Poetry'), "
                         "(SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1)"_s),
                 QStringList(added ? u"1|1"_s : u"0|1"_s));
        QTRY_COMPARE(QStringList({storedTitle(1), window->txtTitle->text(), FocusedName(),
                                  window->IsDirty() ? u"unsaved"_s : u"saved"_s})
                         .join(u'|'),
                     after);
        if (added)
            QCOMPARE(StoredColumns(1, {"RatingId", "FormatId"}),
                     u"5|%1"_s.arg(*FindLookupId(LookupKind::Format, u"Scroll"_s)));
    }

    void namesEqualButForCaseAreNotAddedAgain_data() { AddCaseFoldRows(); }

    void namesEqualButForCaseAreNotAddedAgain() {
        const auto [stored, typed] = FetchColumns<QString, QString>("stored", "typed");
        FRESH_CHECKED_HOME(home);
        QStringList ids; // of the stored name in Author, Subject and Location
        for (const QString table : {"Author", "Subject", "Location"})
            ids << QString::number(*GetLookupId(table, table + u"Id", stored));
        const qint64 authors = NumberOf(u"SELECT COUNT(*) FROM [Author]"_s);
        const auto window = OpenMainWindow();
        window->txtAuthor->setText(typed);
        window->cboSubject->setEditText(typed);
        window->cboLocation->setEditText(typed);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(StoredColumns(1, {"AuthorId", "SubjectId", "LocationId"}), ids.join(u'|'));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), authors);
    }

    // Next and Previous save first, stop at the ends and follow the shown book even with no row
    // selected; a changed title reloads the list and keeps the edited book shown. The Delete button
    // saves first and asks about the shown book, the popup asks about its own row without saving,
    // and a deleted book's edits go with it. A logout saves without questions (a date that cannot
    // be read holds it); closing saves the shown book, and a lookup question answered No keeps the
    // window open.
    void buttonsMoveSaveDeleteAndClose() {
        FRESH_CHECKED_HOME(home);
        const int alpha = AddTestBook(u"Alpha"_s), beta = AddTestBook(u"Beta"_s);
        // The sample book's notes are left out of what is stored.
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [Notes] = ''"_s));
        const auto window = OpenMainWindow();
        int heard = 0;
        // The shown title (and the selected row's, and "Next off", where they differ), unsaved or not,
        // the list, the stored notes and award links, and what the user was told.
        const auto stateOf = [&] {
            const int row = window->lstMain->selectedRow();
            const QString shown = window->txtTitle->text(),
                          selected =
                              row < 0 ? u"no row"_s : window->ListModel().text(row, BookListModel::ColTitle);
            QStringList state = {shown + (selected == shown ? u""_s : u" (" + selected + u" selected)") +
                                     (window->cmdNextBook->isEnabled() ? u""_s : u" Next off"_s),
                                 window->IsDirty() ? u"unsaved"_s : u"saved"_s,
                                 ListedTitles(window->ListModel()).join(u','),
                                 TextsOf(u"SELECT group_concat(nullif([Notes], '')), "
                                         "(SELECT COUNT(*) FROM [BookAward]) FROM [Book]"_s)
                                     .value(0)};
            for (const auto& record : home.prompts().records().mid(heard))
                state << record.title + u": " + record.text;
            heard = home.prompts().count();
            return state.join(u'|');
        };
        CHECK_STEP("opened on the first row", "Alpha|saved|Alpha,Beta,Sample Book #1||2");
        QTest::mouseClick(window->cmdPreviousBook, Qt::LeftButton);
        CHECK_STEP("Previous stops at the first", "Alpha|saved|Alpha,Beta,Sample Book #1||2");
        const QRect below = window->lstMain->viewport()->rect();
        QTest::mouseClick(window->lstMain->viewport(), Qt::LeftButton, {}, QPoint(10, below.bottom() - 2));
        window->lstMain->clearSelection();
        window->txtNotes->setPlainText(u"read it"_s);
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        CHECK_STEP("Next saves first, with no row selected",
                   "Beta|saved|Alpha,Beta,Sample Book #1|read it|2");
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        CHECK_STEP("Next stops at the last", "Sample Book #1|saved|Alpha,Beta,Sample Book #1|read it|2");
        window->lstMain->clearSelection();
        window->mnuFilePreviousBook->trigger();
        CHECK_STEP("File, Previous follows the shown book", "Beta|saved|Alpha,Beta,Sample Book #1|read it|2");
        clickRow(*window, alpha);
        window->txtTitle->setText(u"Zulu"_s);
        clickRow(*window, beta);
        CHECK_STEP("a retitled book stays shown", "Zulu|saved|Beta,Sample Book #1,Zulu|read it|2");
        clickRow(*window, beta);
        CHECK_STEP("a click shows its book", "Beta|saved|Beta,Sample Book #1,Zulu|read it|2");
        QVERIFY(gConn.execute(u"CREATE TRIGGER [refuse] BEFORE UPDATE ON [Book] "
                              "BEGIN SELECT RAISE(ABORT, 'the catalogue says no'); END"_s));
        window->txtTitle->setText(u"Kept"_s);
        home.prompts().answerOk();
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        CHECK_STEP("a save the catalogue refuses keeps the book and its edits",
                   "Kept (Beta selected)|unsaved|Beta,Sample Book #1,Zulu|read it|2|"
                   "Error: Error 1811 (the catalogue says no)");
        QVERIFY(gConn.execute(u"DROP TRIGGER [refuse]"_s));
        Connection second(u"second program"_s);
        QVERIFY(second.open(gConn.filePath()) && second.beginTransaction());
        QVERIFY(gConn.execute(u"PRAGMA busy_timeout = 100"_s));
        home.prompts().answerOk();
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        CHECK_STEP("Save Changes held by another program's lock keeps them too",
                   "Kept (Beta selected)|unsaved|Beta,Sample Book #1,Zulu|read it|2|"
                   "Error: The catalogue is in use by another program.");
        second.rollback();
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        CHECK_STEP("Save Changes tried again", "Kept|saved|Kept,Sample Book #1,Zulu|read it|2");

        window->txtTitle->setText(u"Kept Revised"_s);
        const QPoint sample =
            window->lstMain->visualRect(window->ListModel().index(window->ListModel().rowOfBook(1), 1))
                .center();
        QTest::mousePress(window->lstMain->viewport(), Qt::RightButton, {}, sample);
        QTRY_VERIFY(window->mnuPopup->isVisible());
        window->mnuPopup->hide();
        QTest::mouseRelease(window->lstMain->viewport(), Qt::RightButton, {}, sample);
        home.prompts().answer(PromptAnswer::No);
        window->mnuPopupDelete->trigger();
        CHECK_STEP("the popup asks about its own row without saving",
                   "Kept Revised (Sample Book #1 selected)|unsaved|Kept,Sample Book #1,Zulu|read it|2|"
                   "Delete Warning: Delete Book 'Sample Book #1'?");
        window->lstMain->clearSelection();
        window->txtNotes->setPlainText(u"saved before the question"_s);
        home.prompts().answer(PromptAnswer::No);
        QTest::mouseClick(window->cmdDeleteBook, Qt::LeftButton);
        CHECK_STEP("Delete saves first and asks about the shown book",
                   "Kept Revised|saved|Kept Revised,Sample Book #1,Zulu|read it,saved before the question|2|"
                   "Delete Warning: Delete Book 'Kept Revised'?");
        home.prompts().answer(PromptAnswer::Yes);
        window->lstMain->setFocus();
        QTest::keyClick(window->lstMain, Qt::Key_Delete);
        CHECK_STEP(
            "the Delete key deletes",
            "Sample Book #1|saved|Sample Book #1,Zulu|read it|2|Delete Warning: Delete Book 'Kept Revised'?");
        clickRow(*window, 1);
        window->txtTitle->setText(u"Edited"_s);
        home.prompts().answer(PromptAnswer::Yes);
        window->DeleteBook(1);
        CHECK_STEP("a deleted book's edits go with it",
                   "Zulu|saved|Zulu|read it|0|Delete Warning: Delete Book 'Sample Book #1'?");

        window->txtTitle->setText(u"Logged out"_s);
        window->cboSubject->setEditText(u"Poetry"_s);
        window->txtAcquireDate->setText(u"31.12.2024"_s);
        QVERIFY(!window->SaveWithoutQuestions());
        CHECK_STEP("a logout with an unreadable date saves nothing",
                   "Logged out (Zulu selected)|unsaved|Zulu|read it|0");
        window->txtAcquireDate->setText(u"12/31/2024"_s);
        QVERIFY(window->SaveWithoutQuestions());
        CHECK_STEP("a logout saves without questions", "Logged out|saved|Logged out|read it|0");
        QCOMPARE(StoredColumn(alpha, u"SubjectId"_s).toInt(),
                 *FindLookupId(LookupKind::Subject, u"Poetry"_s));
        window->txtTitle->setText(u"Typed before closing"_s);
        window->cboSubject->setEditText(u"Verse"_s);
        home.prompts().answer(PromptAnswer::No);
        QVERIFY(!window->close() && gConn.isOpen());
        CHECK_STEP("closing asks about a new subject and No keeps the window",
                   "Typed before closing (Logged out selected)|unsaved|Logged out|read it|0|"
                   "Add Subject?: Subject 'Verse' does not exist.  Add it?");
        window->cboSubject->setEditText(u"(none)"_s);
        QVERIFY(window->close() && !gConn.isOpen());
        QVERIFY(OpenDatabase());
        CHECK_STEP("closing saves the shown book",
                   "Typed before closing|saved|Typed before closing|read it|0");
        QCOMPARE(storedTitle(alpha), u"Typed before closing"_s);
    }

    void addBookReplacesOnlyUntouchedPlaceholders() {
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Alpha"_s);
        // A search that would hide the new book is left.
        gSearchMode = kSearchTitle;
        gSearchTitle = u"Alpha"_s;
        const auto window = OpenMainWindow(true);
        const QString newBooks = u"SELECT COUNT(*) FROM [Book] WHERE [Title] = 'New Book'"_s;
        QTest::mouseClick(window->cmdAddBook, Qt::LeftButton);
        // The search in force, the rows listed, the selected book less the shown one, new books.
        QCOMPARE(
            QList<qint64>({gSearchMode, window->ListModel().rowCount(),
                           window->lstMain->selectedBookId() - shownBookId(*window), NumberOf(newBooks)}),
            QList<qint64>({kSearchAll, 3, 0, 1}));
        QTRY_VERIFY(window->txtTitle->hasFocus());
        const int first = shownBookId(*window);
        QCOMPARE(QStringList({window->txtTitle->text(), window->cboSubject->currentText(),
                              window->txtAcquireDate->text(), window->txtLentDate->text()}),
                 QStringList({"New Book", "(none)", QDate::currentDate().toString(u"MM/dd/yyyy"_s), ""}));
        QTRY_COMPARE(window->txtTitle->selectedText(), u"New Book"_s);

        window->mnuPopupAdd->trigger();
        const int second = shownBookId(*window);
        QVERIFY(NumberOf(newBooks) == 1 && second > first);

        // A placeholder made on an earlier day is still untouched.
        QVERIFY(
            gConn.execute(u"UPDATE [Book] SET [AcquireDate] = '2001-02-03' WHERE [BookId] = ?"_s, {second}));
        window->mnuFileAddBook->trigger();
        const int third = shownBookId(*window);
        QVERIFY(NumberOf(newBooks) == 1 && third > second);

        // One the user has worked on stays, and the user is told what to do about it.
        window->txtPublisher->setText(u"Kept Press"_s);
        home.prompts().answerOk();
        window->mnuFileAddBook->trigger();
        QCOMPARE(home.prompts().lastShown(),
                 u"Information: A book titled 'New Book' is already being entered.  "
                 "Give it its own title, then add the next book."_s);
        // New books, the shown book and its publisher.
        QCOMPARE(
            u"%1|%2|%3"_s.arg(NumberOf(newBooks)).arg(shownBookId(*window)).arg(window->txtPublisher->text()),
            u"1|%1|Kept Press"_s.arg(third));
    }

    // Typed values are stored as values; the award buttons and the pickers mark the book changed,
    // even a picker left with Cancel; a cover is set, dropped and removed, and goes with its book;
    // a full box refuses typing.
    void boxesButtonsAndPickersFillTheBook() {
        const LocaleGuard guard(u"en_US"_s);
        FRESH_CHECKED_HOME(home);
        const QString picture = home.file(u"cover.jpg"_s);
        const QString notPicture = home.file(u"notes.txt"_s);
        for (const auto& [path, bytes] :
             {std::pair{picture, TallCoverJpeg()}, std::pair{notPicture, QByteArray("x")}})
            WriteFile(path, bytes);
        const auto window = OpenMainWindow(true);
        window->txtAuthor->setText(u"Zadie Newname"_s);
        window->txtStars->setText(u"4.5"_s);
        window->txtPages->setText(u"12abc"_s);
        window->txtCopyright->setText(QString());
        window->txtCost->setText(u"$1,234.50"_s);
        window->txtAcquireDate->setText(u"3/4/2020"_s);
        window->txtLentDate->setText(u"  "_s);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(
            StoredColumns(1, {"Stars", "Pages", "Copyright", "Cost", "AcquireDate", "LentDate", "AuthorId"}),
            u"4.5|12|0|1234.5|2020-03-04|1899-01-01|%1"_s.arg(*GetAuthorId(u"Zadie Newname"_s)));
        const BookListModel& list = window->ListModel();
        QCOMPARE(QStringList({list.text(0, BookListModel::ColAuthor), list.text(0, BookListModel::ColPages),
                              list.text(0, BookListModel::ColStars)}),
                 QStringList({"Zadie Newname", "012", "4.5"}));

        home.prompts().answerOk();
        QTest::mouseClick(window->cmdRemove, Qt::LeftButton);
        QCOMPARE(home.prompts().lastShown(), u"Information: Click on an award to remove."_s);
        QVERIFY(window->IsDirty());
        window->lstAwards->setCurrentRow(1);
        QTest::mouseClick(window->cmdRemove, Qt::LeftButton);
        QVERIFY(window->lstAwards->count() == 1 && window->lstAwards->selectedItems().isEmpty());
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QVERIFY(NumberOf(u"SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1"_s) == 1 &&
                !window->IsDirty());
        // A name the picker does not list leaves it with Cancel.
        const auto pick = [](const QString& name) {
            return [name](QDialog& picker) {
                auto* list = picker.findChild<QListWidget*>(u"lstData"_s);
                const auto found = list->findItems(name, Qt::MatchExactly);
                if (found.isEmpty())
                    return int(QDialog::Rejected);
                list->setCurrentItem(found.first());
                QTest::mouseClick(picker.findChild<QPushButton*>(u"cmdSelect"_s), Qt::LeftButton);
                return picker.result();
            };
        };
        const std::pair<QPushButton*, QString> picks[] = {{window->cmdAddAward, u"-"_s},
                                                          {window->cmdLookupAuthor, u"-"_s},
                                                          {window->cmdAddAward, u"Nobel Prize"_s},
                                                          {window->cmdLookupAuthor, u"Maya Abbott"_s}};
        for (const auto& [button, name] : picks) {
            home.onNextModal(pick(name));
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(window->IsDirty());
            QVERIFY(window->SaveCurrentBook());
        }
        QCOMPARE(window->txtAuthor->text(), u"Maya Abbott"_s);
        QCOMPARE(
            TextsOf(u"SELECT a.[Name], (SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1) FROM [Book] b "
                    "JOIN [Author] a ON a.[AuthorId] = b.[AuthorId] WHERE b.[BookId] = 1"_s),
            QStringList(u"Maya Abbott|2"_s));
        QCOMPARE(home.pendingModalActions(), 0);

        QVERIFY(!window->picCover->hasCover());
        home.prompts().file(picture);
        QTest::mouseClick(window->cmdSetCover, Qt::LeftButton);
        QVERIFY(window->picCover->hasCover() && window->IsDirty());
        // The stored cover's height once the book is saved.
        const auto savedHeight = [&window] {
            return window->SaveCurrentBook() ? storedCoverHeight(1) : -2;
        };
        QCOMPARE(savedHeight(), kCoverMaxHeight);

        home.prompts().answerOk();
        dropFile(window->picCover, notPicture);
        QCOMPARE(home.prompts().last().text, u"The dropped file is not a picture Tomekeep can read.");
        QTest::mouseClick(window->cmdRemoveCover, Qt::LeftButton);
        QVERIFY(!window->picCover->hasCover());
        QCOMPARE(savedHeight(), 0);

        dropFile(window->picCover, picture);
        QCOMPARE(savedHeight(), kCoverMaxHeight);

        // Typing into a full box changes nothing and leaves the caret where it was; a paste takes
        // what fits.
        for (const auto& [box, limit] :
             {std::pair{"txtNotes", 255}, {"txtTitle", 100}, {"txtLabelNumber", 50}}) {
            QWidget* field = window->findChild<QWidget*>(QString::fromLatin1(box));
            auto* notes = qobject_cast<QPlainTextEdit*>(field);
            const char* textProperty = notes ? "plainText" : "text";
            // The box's text and where its caret is.
            const auto state = [field, textProperty]() -> QString {
                return field->property(textProperty).toString() + u'|' +
                       field->inputMethodQuery(Qt::ImCursorPosition).toString();
            };
            // The caret is moved by keys, as the user moves it.
            const auto putCaret = [field, notes](int position) {
                QTest::keyClick(field, Qt::Key_Home, notes ? Qt::ControlModifier : Qt::NoModifier);
                for (int step = 0; step < position; ++step)
                    QTest::keyClick(field, Qt::Key_Right);
            };
            const QString full = QString(limit - 1, u'a') + u'z';
            field->setProperty(textProperty, full);
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            putCaret(3);
            QTest::keyClicks(field, u"xyz"_s);
            QCOMPARE(state(), QString(full + u"|3"));

            const QString roomForTwo = QString(limit - 3, u'a') + u'z';
            field->setProperty(textProperty, roomForTwo);
            putCaret(0);
            QGuiApplication::clipboard()->setText(u"12345"_s);
            QVERIFY(QMetaObject::invokeMethod(field, "paste"));
            QCOMPARE(state(), u"12" + roomForTwo + u"|2");
            QVERIFY(window->SaveCurrentBook());
        }
        // The cover goes with its book.
        QVERIFY(gConn.execute(u"DELETE FROM [Book] WHERE [BookId] = 1"_s));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [BookCover]"_s), 0);
    }

    // A typed ISBN or date is checked before Next Book saves ("<unsaved>": the save is refused,
    // and the book stays shown with what was typed in its box).
    void typedIsbnAndDatesAreCheckedBeforeSaving_data() {
        AddColumns<QString, QString, QString, int, QString, QString>("box", "typed", "otherIsbn", "answer",
                                                                     "stored", "told");
        const QString isbn = u"9780140449136"_s, unsaved = u"<unsaved>"_s;
        const int none = -1, ok = int(PromptAnswer::Ok);
        AddRow("isbn-10 stored as 13 digits", "txtIsbn", "0-14-044913-2", "", none, isbn, "");
        AddRow("isbn emptied", "txtIsbn", "  ", "", none, "", "");
        AddRow("wrong check digit refused", "txtIsbn", "0-14-044913-3", "", ok, unsaved,
               "Warning: '0-14-044913-3' is not an ISBN: an ISBN has 10 or 13 digits (an ISBN-10 may end in "
               "X) and its last digit must match the others.  Check the number and try again.");
        const QString shared =
            u"Warning: The book 'Copy' already has the ISBN 9780140449136.  Save this book with the same ISBN?"_s;
        AddRow("second copy saved", "txtIsbn", "978-0-14-044913-6", isbn, int(PromptAnswer::Yes), isbn,
               shared);
        AddRow("second copy not saved", "txtIsbn", "978-0-14-044913-6", isbn, int(PromptAnswer::No), unsaved,
               shared);
        const QString notADate =
            u"Warning: %1: '%2' is not a date.  Type the date as mm/dd/yyyy, or empty the box for no date."_s;
        AddRow("acquired unreadable", "txtAcquireDate", "31.12.2024", "", ok, unsaved,
               notADate.arg(u"Acquired"_s, u"31.12.2024"_s));
        AddRow("lent unreadable", "txtLentDate", "someday", "", ok, unsaved,
               notADate.arg(u"Lent Date"_s, u"someday"_s));
        // An emptied box is no date.
        AddRow("lent emptied", "txtLentDate", "", "", none, "1899-01-01", "");
    }

    void typedIsbnAndDatesAreCheckedBeforeSaving() {
        const auto [box, typed, otherIsbn, answer, stored, told] =
            FetchColumns<QString, QString, QString, int, QString, QString>("box", "typed", "otherIsbn",
                                                                           "answer", "stored", "told");
        FRESH_CHECKED_HOME(home);
        const int copy = AddTestBook(u"Copy"_s, [&](BookFields& b) { b.isbn = otherIsbn; });
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [Title] = 'A', [AcquireDate] = '2001-02-03', "
                              "[LentDate] = '2002-03-04' WHERE [BookId] = 1"_s));
        const auto window = OpenMainWindow(true);
        QCOMPARE(shownBookId(*window), 1);
        if (answer >= 0)
            home.prompts().answer(PromptAnswer(answer));
        auto* typedBox = window->findChild<QLineEdit*>(box);
        typedBox->setText(typed);
        window->txtTitle->setText(u"A Revised"_s);
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        const bool saved = stored != u"<unsaved>"_s;
        // The stored title and the book shown.
        QCOMPARE(storedTitle(1) + u'|' + window->txtBookId->text(),
                 saved ? u"A Revised|" + QString::number(copy) : u"A|1"_s);
        QCOMPARE(home.prompts().count() > 0 ? home.prompts().lastShown() : QString(), told);
        if (saved) {
            QCOMPARE(StoredColumn(1, box == u"txtIsbn"_s ? u"ISBN"_s : box.mid(3)).toString(), stored);
            return;
        }
        QVERIFY(window->IsDirty() && typedBox->text() == typed);
        // A refused value takes the user back to its box.
        if (answer == int(PromptAnswer::Ok))
            QTRY_VERIFY(typedBox->hasFocus());
    }

    void writesWaitForAnotherProgramsLock_data() {
        QTest::addColumn<QString>("work");
        AddRow("save", "save");
        AddRow("import", "import");
        AddRow("unused authors", "unused authors");
    }

    void writesWaitForAnotherProgramsLock() {
        QFETCH(QString, work);
        FRESH_CHECKED_HOME(home);
        const QString exchange = home.file(u"Books.txt"_s);
        QCOMPARE(ExportBooks(exchange).status, ExportResult::Status::Done);
        QVERIFY(gConn.execute(u"UPDATE [Book] SET [Title] = 'Renamed'"_s));
        const auto window = OpenMainWindow();
        window->txtPublisher->setText(u"Saved after the wait"_s);
        const qint64 authors = NumberOf(u"SELECT COUNT(*) FROM [Author]"_s);
        const SecondProgramLock lock(gConn.filePath(), 3000);
        QVERIFY(lock.held());
        if (work == u"save"_s) {
            QVERIFY(window->SaveCurrentBook());
            QCOMPARE(StoredColumn(1, u"Publisher"_s).toString(), u"Saved after the wait"_s);
            QCOMPARE(lock.pointerAtRelease(), int(Qt::WaitCursor));
        } else if (work == u"import"_s) {
            const ImportResult imported = ImportExchangeFile(exchange);
            QCOMPARE(imported.status, ImportResult::Status::Done);
            QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s), 2);
        } else {
            const auto deleted = DeleteAuthorsNotInUse();
            QVERIFY2(deleted, deleted ? "" : qPrintable(deleted.error().messageText()));
            QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s), authors - *deleted);
        }
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void anotherProgramsChangeIsTold_data() {
        // outcome: the save goes on or stays, stored title, shown title
        AddColumns<QString, int, QString>("theirs", "answer", "outcome");
        const QString retitle = u"UPDATE [Book] SET [Title] = 'Theirs' WHERE [BookId] = 1"_s;
        const QString remove = u"DELETE FROM [Book] WHERE [BookId] = 1"_s;
        AddRow("yes overwrites", retitle, int(PromptAnswer::Yes), "goes on|Mine|Mine");
        AddRow("no reloads", retitle, int(PromptAnswer::No), "goes on|Theirs|Theirs");
        AddRow("cancel keeps editing", retitle, int(PromptAnswer::Cancel), "stays|Theirs|Mine");
        AddRow("deleted, yes puts it back", remove, int(PromptAnswer::Yes), "goes on|Mine|Mine");
        AddRow("deleted, no lets it go", remove, int(PromptAnswer::No), "goes on||");
    }

    void anotherProgramsChangeIsTold() {
        const auto [theirs, answer, outcome] =
            FetchColumns<QString, int, QString>("theirs", "answer", "outcome");
        FRESH_MAIN_WINDOW(home, window);
        // This program saves once: nothing to tell while it is the only one.
        window->txtNotes->setPlainText(u"first save"_s);
        QVERIFY(window->SaveCurrentBook());
        Connection second(u"second program"_s);
        QVERIFY(second.open(gConn.filePath()) && second.execute(theirs));
        window->txtTitle->setText(u"Mine"_s);
        home.prompts().answer(PromptAnswer(answer));
        const bool goesOn = window->SaveCurrentBook();
        QCOMPARE(home.prompts().lastShown(),
                 u"Book Changed: Another program has changed or deleted 'Mine' since it was shown here.\n\n"
                 "Yes saves your changes over it; No drops your changes and shows the book as it is stored "
                 "now; Cancel keeps editing."_s);
        QCOMPARE(QStringList({goesOn ? u"goes on"_s : u"stays"_s, storedTitle(1), window->txtTitle->text()})
                     .join(u'|'),
                 outcome);
        QVERIFY(window->IsDirty() != goesOn && home.prompts().count() == 1);
    }

    void lookupFillsTheEditor_data() {
        // filled: title, publisher, ISBN as saved
        AddColumns<QString, QString, int, QString, QString>("server", "typedTitle", "answer", "filled",
                                                            "told");
        const QString differ = u"differ from what is filled in (Title)"_s;
        const int none = -1;
        AddRow("new book filled by Enter", "found", "", none, "Crime and Punishment|Penguin Classics|", "");
        AddRow("typed title kept", "found", "My Crime", int(PromptAnswer::No), "My Crime|Penguin Classics|",
               differ);
        AddRow("typed title replaced", "found", "My Crime", int(PromptAnswer::Yes),
               "Crime and Punishment|Penguin Classics|", differ);
        AddRow("nothing filled on cancel", "found", "My Crime", int(PromptAnswer::Cancel), "My Crime||",
               differ);
        AddRow("not found", "{}", "", int(PromptAnswer::Ok), "New Book||",
               "No book with the ISBN 9780140449136");
        AddRow("time-out", "silent", "", int(PromptAnswer::Ok), "New Book||", "did not answer in time");
        AddRow("closed port", "closed", "", int(PromptAnswer::Ok), "New Book||", "could not be reached");
    }

    void lookupFillsTheEditor() {
        const auto [server, typedTitle, answer, filled, told] =
            FetchColumns<QString, QString, int, QString, QString>("server", "typedTitle", "answer", "filled",
                                                                  "told");
        FRESH_CHECKED_HOME(home);
        StandInServer stand;
        // Look-ups go to the test's server while the test runs.
        qputenv("TOMEKEEP_METADATA_URL", stand.play(server).toUtf8());
        const auto unset = qScopeGuard([] { qunsetenv("TOMEKEEP_METADATA_URL"); });
        const auto window = OpenMainWindow();
        window->SetLookupTimeout(std::chrono::milliseconds(500));
        QTest::mouseClick(window->cmdAddBook, Qt::LeftButton);
        const int bookId = window->txtBookId->text().toInt();
        if (!typedTitle.isEmpty())
            window->txtTitle->setText(typedTitle);
        if (answer >= 0)
            home.prompts().answer(PromptAnswer(answer));
        QTest::keyClicks(window->txtIsbn, u"0-14-044913-2"_s);
        if (typedTitle.isEmpty())
            QTest::keyClick(window->txtIsbn, Qt::Key_Return);
        else
            QTest::mouseClick(window->cmdLookupIsbn, Qt::LeftButton);
        QVERIFY(window->prgLookup->isVisible() && window->cmdCancelLookup->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window->prgLookup->isVisible(), 10000);
        // What is filled in comes with its cover.
        const bool cover = filled.contains(u"Penguin"_s);
        QCOMPARE(window->picCover->hasCover(), cover);
        QCOMPARE(home.prompts().count() > 0 ? home.prompts().last().text.contains(told) : told.isEmpty(),
                 true);
        QVERIFY(window->SaveCurrentBook());
        // The typed ISBN is the user's, whatever the server said.
        QCOMPARE(StoredColumns(bookId, {"Title", "Publisher", "ISBN"}), QString(filled + u"9780140449136"));
        QCOMPARE(storedCoverHeight(bookId), cover ? kCoverMaxHeight : 0);
    }
};

TOMEKEEP_TEST(EditorTest);
#include "tst_editor.moc"
