#include "db/Catalogue.h"
#include "db/Connection.h"
#include "exchange/Importer.h"
#include "main/BookEditor.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/BookTestData.h"
#include "main/BookText.h"
#include "main/Maintenance.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/CaseTestData.h"
#include "support/SecondProgram.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

namespace {

// Puts the program's locale back when a test that changed it ends.
struct LocaleGuard {
    explicit LocaleGuard(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~LocaleGuard() { QLocale::setDefault(previous); }
    QLocale previous = QLocale();
};

// A book with every value the locale could garble.
int addPricedBook() {
    return AddTestBook(QStringLiteral("Priced"), [](BookFields& b) {
        b.stars = 4.25;
        b.cost = Money::fromUnits(12345600);
        b.acquireDate = QDate(2001, 2, 3);
        b.lentDate = QDate(2019, 12, 31);
        b.publisher = QStringLiteral("First");
        b.authorId = 5;
    });
}

void clickRow(frmWizard& window, int bookId) {
    const QModelIndex index =
        window.ListModel().index(window.ListModel().rowOfBook(bookId), BookListModel::ColTitle);
    QTest::mouseClick(window.lstMain->viewport(), Qt::LeftButton, {},
                      window.lstMain->visualRect(index).center());
}

int shownBookId(const frmWizard& window) {
    return window.txtBookId->text().toInt();
}

std::unique_ptr<frmWizard> OpenActiveMainWindow() {
    auto window = OpenMainWindow();
    window->activateWindow();
    if (!QTest::qWaitFor([&window] { return window->isActiveWindow(); }))
        qWarning("the main window did not become active");
    return window;
}

// What Ctrl+S does; a disabled button does nothing.
void clickSaveChanges(frmWizard& window) {
    QTest::mouseClick(window.cmdSaveChanges, Qt::LeftButton);
}

QString storedTitle(int bookId) {
    return StoredColumn(bookId, QStringLiteral("Title")).toString();
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shownTextsReadBackUnchanged_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("stars");
        QTest::addColumn<qint64>("costUnits");
        for (const char* locale : {"en_US", "de_DE", "fr_FR", "de_CH"}) {
            QTest::addRow("%s whole", locale) << locale << 4.0 << qint64(0);
            QTest::addRow("%s cents", locale) << locale << 3.5 << qint64(199500);
            QTest::addRow("%s thousands", locale) << locale << 4.25 << qint64(12345000);
            QTest::addRow("%s negative", locale) << locale << 0.5 << qint64(-199500);
            QTest::addRow("%s fine amount", locale) << locale << 1.125 << qint64(12345678915);
        }
    }

    void shownTextsReadBackUnchanged() {
        QFETCH(QString, locale);
        QFETCH(double, stars);
        QFETCH(qint64, costUnits);
        const QLocale where(locale);
        const Money cost = Money::fromUnits(costUnits);
        QCOMPARE(ReadStars(StarsText(stars, where), where), stars);
        QCOMPARE(ReadCost(CostText(cost, where), where).units(), costUnits);
    }

    void typedTextsAreRead_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("costUnits");
        QTest::newRow("sign and thousands") << "en_US"
                                            << "$1,234.50" << qint64(12345000);
        QTest::newRow("comma groups in English") << "en_US"
                                                 << "19,95" << qint64(19950000);
        QTest::newRow("accounting negative") << "en_US"
                                             << "($19.95)" << qint64(-199500);
        QTest::newRow("German shown form") << "de_DE"
                                           << "1.234,50 €" << qint64(12345000);
        QTest::newRow("German typed with a point") << "de_DE"
                                                   << "19.95" << qint64(199500);
        QTest::newRow("German thousands point") << "de_DE"
                                                << "1.234" << qint64(12340000);
        QTest::newRow("nothing numeric") << "en_US"
                                         << "free" << qint64(0);
        QTest::newRow("empty") << "de_DE"
                               << "" << qint64(0);
    }

    void typedTextsAreRead() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(qint64, costUnits);
        QCOMPARE(ReadCost(text, QLocale(locale)).units(), costUnits);
    }

    void starsAndNumbersReadTheirLeadingNumber() {
        QCOMPARE(ReadStars(QStringLiteral("4,5"), QLocale(QStringLiteral("de_DE"))), 4.5);
        QCOMPARE(ReadStars(QStringLiteral("4.5"), QLocale(QStringLiteral("de_DE"))), 4.5);
        QCOMPARE(ReadStars(QStringLiteral("4,5"), QLocale(QStringLiteral("en_US"))), 4.0);
        QCOMPARE(StarsText(4, QLocale(QStringLiteral("en_US"))), QStringLiteral("4.0"));
        QCOMPARE(WholeNumberText(0), QString());
        QCOMPARE(DateText(kNullDate), QString());
        QCOMPARE(DateText(QDate(1900, 1, 1)), QStringLiteral("01/01/1900"));
    }

    void showingAndSavingKeepsEveryValue_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("costText");
        QTest::addColumn<QString>("starsText");
        QTest::newRow("en_US") << "en_US"
                               << "$1,234.56"
                               << "4.25";
        QTest::newRow("de_DE") << "de_DE"
                               << "1.234,56\u00A0€"
                               << "4,25";
    }

    void showingAndSavingKeepsEveryValue() {
        QFETCH(QString, locale);
        QFETCH(QString, costText);
        QFETCH(QString, starsText);
        const LocaleGuard guard(locale);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int priced = addPricedBook();
        const QStringList columns = {"Stars", "Cost",      "AcquireDate", "LentDate",
                                     "Pages", "Copyright", "AuthorId"};
        QVariantList before;
        for (const QString& column : columns)
            before << StoredColumn(priced, column);
        const auto window = OpenMainWindow();
        clickRow(*window, priced);
        QCOMPARE(window->txtCost->text(), costText);
        QCOMPARE(window->txtStars->text(), starsText);
        QCOMPARE(window->txtAcquireDate->text(), QStringLiteral("02/03/2001"));
        QCOMPARE(window->txtLentDate->text(), QStringLiteral("12/31/2019"));
        QCOMPARE(window->txtPages->text(), QString());
        QCOMPARE(window->txtCopyright->text(), QString());
        QVERIFY(!window->IsDirty());
        QTest::keyClicks(window->txtPublisher, QStringLiteral(" Edition"));
        QVERIFY(window->IsDirty());
        QVERIFY(window->cmdSaveChanges->isEnabled());
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QCOMPARE(StoredColumn(priced, QStringLiteral("Publisher")).toString(),
                 QStringLiteral("First Edition"));
        for (qsizetype i = 0; i < columns.size(); ++i)
            QCOMPARE(StoredColumn(priced, columns[i]), before[i]);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void typedValuesAreStoredAsValues() {
        const LocaleGuard guard(QStringLiteral("en_US"));
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtAuthor->setText(QStringLiteral("Zadie Newname"));
        window->txtStars->setText(QStringLiteral("4.5"));
        window->txtPages->setText(QStringLiteral("12abc"));
        window->txtCopyright->setText(QString());
        window->txtCost->setText(QStringLiteral("$1,234.50"));
        window->txtAcquireDate->setText(QStringLiteral("3/4/2020"));
        window->txtLentDate->setText(QStringLiteral("  "));
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(StoredColumn(1, QStringLiteral("Stars")).toDouble(), 4.5);
        QCOMPARE(StoredColumn(1, QStringLiteral("Pages")).toInt(), 12);
        QCOMPARE(StoredColumn(1, QStringLiteral("Copyright")).toInt(), 0);
        QCOMPARE(StoredColumn(1, QStringLiteral("Cost")).toDouble(), 1234.5);
        QCOMPARE(StoredColumn(1, QStringLiteral("AcquireDate")).toString(), QStringLiteral("2020-03-04"));
        QCOMPARE(StoredColumn(1, QStringLiteral("LentDate")).toString(), QStringLiteral("1899-01-01"));
        const int author = *GetAuthorId(QStringLiteral("Zadie Newname"));
        QCOMPARE(StoredColumn(1, QStringLiteral("AuthorId")).toInt(), author);
        const BookListModel& list = window->ListModel();
        QCOMPARE(list.text(0, BookListModel::ColAuthor), QStringLiteral("Zadie Newname"));
        QCOMPARE(list.text(0, BookListModel::ColPages), QStringLiteral("012"));
        QCOMPARE(list.text(0, BookListModel::ColStars), QStringLiteral("4.5"));
    }

    void missingLookupNameIsAskedAbout_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("yes adds it") << int(PromptAnswer::Yes) << true;
        QTest::newRow("no stays on the book") << int(PromptAnswer::No) << false;
        QTest::newRow("cancel drops the edits") << int(PromptAnswer::Cancel) << true;
    }

    void missingLookupNameIsAskedAbout() {
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Renamed"));
        window->cboSubject->setEditText(QStringLiteral("Poetry"));
        delete window->lstAwards->takeItem(0);
        home.prompts().answer(PromptAnswer(answer));
        QCOMPARE(window->SaveCurrentBook(), goesOn);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Add Subject?"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("Subject 'Poetry' does not exist.  Add it?"));
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
        const bool added = PromptAnswer(answer) == PromptAnswer::Yes;
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Subject] WHERE [Name] = 'Poetry'")),
                 added ? 1 : 0);
        QCOMPARE(StoredColumn(1, QStringLiteral("Title")).toString(),
                 added ? QStringLiteral("Renamed") : QStringLiteral("Sample Book #1"));
        // The award links are rewritten before the question, whatever it is answered.
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1")), 1);
        QCOMPARE(window->IsDirty(), !goesOn);
        QCOMPARE(window->cmdSaveChanges->isEnabled(), !goesOn);
        if (PromptAnswer(answer) == PromptAnswer::Cancel)
            QCOMPARE(window->txtTitle->text(), QStringLiteral("Sample Book #1"));
        else
            QCOMPARE(window->txtTitle->text(), QStringLiteral("Renamed"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void namesEqualButForCaseAreNotAddedAgain_data() { AddCaseFoldRows(); }

    void namesEqualButForCaseAreNotAddedAgain() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int authorId = *GetLookupId(QStringLiteral("Author"), QStringLiteral("AuthorId"), stored);
        const int subjectId = *GetLookupId(QStringLiteral("Subject"), QStringLiteral("SubjectId"), stored);
        const int locationId = *GetLookupId(QStringLiteral("Location"), QStringLiteral("LocationId"), stored);
        const qint64 authors = CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]"));
        const auto window = OpenMainWindow();
        window->txtAuthor->setText(typed);
        window->cboSubject->setEditText(typed);
        window->cboLocation->setEditText(typed);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(StoredColumn(1, QStringLiteral("AuthorId")).toInt(), authorId);
        QCOMPARE(StoredColumn(1, QStringLiteral("SubjectId")).toInt(), subjectId);
        QCOMPARE(StoredColumn(1, QStringLiteral("LocationId")).toInt(), locationId);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]")), authors);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void lookupQuestionsComeInTheirOrder() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->cboLocation->setEditText(QStringLiteral("Attic"));
        window->cboFormat->setEditText(QStringLiteral("Scroll"));
        window->cboRating->setEditText(QStringLiteral("teen"));
        home.prompts().answer(PromptAnswer::Yes).answer(PromptAnswer::Yes);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(home.prompts().texts(), QStringList({"Format 'Scroll' does not exist.  Add it?",
                                                      "Location 'Attic' does not exist.  Add it?"}));
        QCOMPARE(StoredColumn(1, QStringLiteral("RatingId")).toInt(), 5);
        QCOMPARE(StoredColumn(1, QStringLiteral("FormatId")).toInt(),
                 *FindLookupId(LookupKind::Format, QStringLiteral("Scroll")));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void changedTitleReloadsAndKeepsTheEditedBook() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int alpha = AddTestBook(QStringLiteral("Alpha"));
        const int beta = AddTestBook(QStringLiteral("Beta"));
        const auto window = OpenMainWindow();
        clickRow(*window, alpha);
        QCOMPARE(shownBookId(*window), alpha);
        window->txtTitle->setText(QStringLiteral("Zulu"));
        clickRow(*window, beta);
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({"Beta", "Sample Book #1", "Zulu"}));
        QCOMPARE(window->lstMain->selectedBookId(), alpha);
        QCOMPARE(shownBookId(*window), alpha);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Zulu"));
        QVERIFY(!window->IsDirty());
        clickRow(*window, beta);
        QCOMPARE(shownBookId(*window), beta);
    }

    void nextAndPreviousStopAtTheEnds() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int alpha = AddTestBook(QStringLiteral("Alpha"));
        const auto window = OpenMainWindow();
        QCOMPARE(shownBookId(*window), alpha);
        QTest::mouseClick(window->cmdPreviousBook, Qt::LeftButton);
        QCOMPARE(shownBookId(*window), alpha);
        window->txtNotes->setPlainText(QStringLiteral("read it"));
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QCOMPARE(StoredColumn(alpha, QStringLiteral("Notes")).toString(), QStringLiteral("read it"));
        QCOMPARE(shownBookId(*window), 1);
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QCOMPARE(shownBookId(*window), 1);
        QVERIFY(window->cmdNextBook->isEnabled());
        window->mnuFilePreviousBook->trigger();
        QCOMPARE(shownBookId(*window), alpha);
        QCOMPARE(window->lstMain->selectedBookId(), alpha);
    }

    void deleteButtonSavesFirstAndPopupDoesNot() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int alpha = AddTestBook(QStringLiteral("Alpha"));
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Alpha Revised"));
        const QModelIndex sample = window->ListModel().index(window->ListModel().rowOfBook(1), 1);
        QTest::mousePress(window->lstMain->viewport(), Qt::RightButton, {},
                          window->lstMain->visualRect(sample).center());
        QTRY_VERIFY(window->mnuPopup->isVisible());
        window->mnuPopup->hide();
        QTest::mouseRelease(window->lstMain->viewport(), Qt::RightButton, {},
                            window->lstMain->visualRect(sample).center());
        QCOMPARE(gPopupBookId, 1);
        home.prompts().answer(PromptAnswer::No);
        window->mnuPopupDelete->trigger();
        QCOMPARE(home.prompts().last().text, QStringLiteral("Delete Book 'Sample Book #1'?"));
        QCOMPARE(home.prompts().last().title, QStringLiteral("Delete Warning"));
        QCOMPARE(StoredColumn(alpha, QStringLiteral("Title")).toString(), QStringLiteral("Alpha"));
        QVERIFY(window->IsDirty());

        clickRow(*window, alpha);
        window->txtNotes->setPlainText(QStringLiteral("saved before the question"));
        home.prompts().answer(PromptAnswer::No);
        QTest::mouseClick(window->cmdDeleteBook, Qt::LeftButton);
        QCOMPARE(home.prompts().last().text, QStringLiteral("Delete Book 'Alpha Revised'?"));
        QCOMPARE(StoredColumn(alpha, QStringLiteral("Notes")).toString(),
                 QStringLiteral("saved before the question"));

        home.prompts().answer(PromptAnswer::Yes);
        window->lstMain->setFocus();
        QTest::keyClick(window->lstMain, Qt::Key_Delete);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [BookId] = ?"), {alpha}), 0);
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({"Sample Book #1"}));
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: 1"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void deletingTheEditedBookDropsItsEdits() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Edited"));
        home.prompts().answer(PromptAnswer::Yes);
        window->DeleteBook(1);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 0);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [BookAward]")), 0);
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: 0"));
        QVERIFY(!window->txtTitle->isEnabled());
        QCOMPARE(window->txtTitle->text(), QString());
        QVERIFY(!window->cmdSaveChanges->isEnabled());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void addBookReplacesOnlyUntouchedPlaceholders() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        const QString newBooks = QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'New Book'");
        QTest::mouseClick(window->cmdAddBook, Qt::LeftButton);
        QCOMPARE(CountOf(newBooks), 1);
        const int first = shownBookId(*window);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("New Book"));
        QCOMPARE(window->cboSubject->currentText(), QStringLiteral("(none)"));
        QCOMPARE(window->txtAcquireDate->text(), QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
        QCOMPARE(window->txtLentDate->text(), QString());
        QTRY_COMPARE(window->txtTitle->selectedText(), QStringLiteral("New Book"));

        window->mnuPopupAdd->trigger();
        QCOMPARE(CountOf(newBooks), 1);
        const int second = shownBookId(*window);
        QVERIFY(second > first);

        // A placeholder made on an earlier day is still untouched.
        QVERIFY(gConn.execute(
            QStringLiteral("UPDATE [Book] SET [AcquireDate] = '2001-02-03' WHERE [BookId] = ?"), {second}));
        window->mnuFileAddBook->trigger();
        QCOMPARE(CountOf(newBooks), 1);
        const int third = shownBookId(*window);
        QVERIFY(third > second);

        // One the user has worked on stays, and the user is told what to do about it.
        window->txtPublisher->setText(QStringLiteral("Kept Press"));
        home.prompts().answerOk();
        window->mnuFileAddBook->trigger();
        QCOMPARE(home.prompts().last().title, QStringLiteral("Information"));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("A book titled 'New Book' is already being entered.  Give it its own title, "
                                "then add the next book."));
        QCOMPARE(CountOf(newBooks), 1);
        QCOMPARE(shownBookId(*window), third);
        QCOMPARE(window->txtPublisher->text(), QStringLiteral("Kept Press"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void addBookLeavesTheSearchToShowTheNewBook() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Alpha"));
        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("Alpha");
        const auto window = OpenActiveMainWindow();
        QCOMPARE(window->ListModel().rowCount(), 1);
        QTest::mouseClick(window->cmdAddBook, Qt::LeftButton);
        QCOMPARE(gSearchMode, kSearchAll);
        QCOMPARE(window->ListModel().rowCount(), 3);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("New Book"));
        QCOMPARE(window->lstMain->selectedBookId(), shownBookId(*window));
        QTRY_VERIFY(window->txtTitle->hasFocus());
        QCOMPARE(window->txtTitle->selectedText(), QStringLiteral("New Book"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void awardButtonsMarkTheBookChanged() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        home.prompts().answerOk();
        QTest::mouseClick(window->cmdRemove, Qt::LeftButton);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Information"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("Click on an award to remove."));
        QVERIFY(window->IsDirty());
        window->lstAwards->setCurrentRow(1);
        QTest::mouseClick(window->cmdRemove, Qt::LeftButton);
        QCOMPARE(window->lstAwards->count(), 1);
        QCOMPARE(window->lstAwards->selectedItems().size(), 0);
        QTest::mouseClick(window->cmdSaveChanges, Qt::LeftButton);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1")), 1);
        QVERIFY(!window->IsDirty());
        // A picker left with Cancel still leaves the book marked changed.
        for (QPushButton* button : {window->cmdAddAward, window->cmdLookupAuthor}) {
            home.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(window->IsDirty());
            QVERIFY(window->SaveCurrentBook());
        }
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void pickersFillTheAwardListAndTheAuthor() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        const auto pick = [](const QString& name) {
            return [name](QDialog& picker) {
                auto* list = picker.findChild<QListWidget*>(QStringLiteral("lstData"));
                const auto found = list->findItems(name, Qt::MatchExactly);
                if (found.isEmpty())
                    return int(QDialog::Rejected);
                list->setCurrentItem(found.first());
                QTest::mouseClick(picker.findChild<QPushButton*>(QStringLiteral("cmdSelect")),
                                  Qt::LeftButton);
                return picker.result();
            };
        };
        home.onNextModal(pick(QStringLiteral("Nobel Prize")));
        QTest::mouseClick(window->cmdAddAward, Qt::LeftButton);
        home.onNextModal(pick(QStringLiteral("Maya Abbott")));
        QTest::mouseClick(window->cmdLookupAuthor, Qt::LeftButton);
        QCOMPARE(window->txtAuthor->text(), QStringLiteral("Maya Abbott"));
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [BookAward] WHERE [BookId] = 1")), 3);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book] b JOIN [Author] a ON a.[AuthorId] = "
                                        "b.[AuthorId] WHERE a.[Name] = 'Maya Abbott'")),
                 1);
        QCOMPARE(home.pendingModalActions(), 0);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void typedIsbnIsCheckedBeforeSaving_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("otherIsbn");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("told");
        const QString isbn = QStringLiteral("9780140449136");
        const int none = -1;
        QTest::newRow("isbn-10 stored as 13 digits") << "0-14-044913-2"
                                                     << "" << none << isbn << "";
        QTest::newRow("emptied") << "  "
                                 << "" << none << ""
                                 << "";
        QTest::newRow("wrong check digit refused")
            << "0-14-044913-3"
            << "" << int(PromptAnswer::Ok) << "<unsaved>"
            << "'0-14-044913-3' is not an ISBN: an ISBN has 10 or 13 digits (an ISBN-10 may end in X) and "
               "its "
               "last digit must match the others.  Check the number and try again.";
        const QString shared = QStringLiteral(
            "The book 'Copy' already has the ISBN 9780140449136.  Save this book with the same ISBN?");
        QTest::newRow("second copy saved")
            << "978-0-14-044913-6" << isbn << int(PromptAnswer::Yes) << isbn << shared;
        QTest::newRow("second copy not saved")
            << "978-0-14-044913-6" << isbn << int(PromptAnswer::No) << "<unsaved>" << shared;
    }

    void typedIsbnIsCheckedBeforeSaving() {
        QFETCH(QString, typed);
        QFETCH(QString, otherIsbn);
        QFETCH(int, answer);
        QFETCH(QString, stored);
        QFETCH(QString, told);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Copy"), [&](BookFields& b) { b.isbn = otherIsbn; });
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [Title] = 'A', [ISBN] = '<unsaved>' "
                                             "WHERE [BookId] = 1")));
        const auto window = OpenMainWindow();
        QCOMPARE(shownBookId(*window), 1);
        if (answer >= 0)
            home.prompts().answer(PromptAnswer(answer));
        window->txtIsbn->setText(typed);
        const bool saved = stored != QStringLiteral("<unsaved>");
        QCOMPARE(window->SaveCurrentBook(), saved);
        QCOMPARE(StoredColumn(1, QStringLiteral("ISBN")).toString(), stored);
        QCOMPARE(window->IsDirty(), !saved);
        QCOMPARE(window->txtIsbn->text(), typed);
        QCOMPARE(home.prompts().count() > 0 ? home.prompts().last().text : QString(), told);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void refusedSaveKeepsTheEditsAndTells() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Other"));
        QVERIFY(gConn.execute(QStringLiteral("CREATE TRIGGER [refuse] BEFORE UPDATE ON [Book] "
                                             "BEGIN SELECT RAISE(ABORT, 'the catalogue says no'); END")));
        const auto window = OpenMainWindow();
        const int shown = shownBookId(*window);
        window->txtTitle->setText(QStringLiteral("Unsaved"));
        home.prompts().answerOk();
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY(home.prompts().last().text.contains(QStringLiteral("the catalogue says no")));
        QCOMPARE(shownBookId(*window), shown);
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Unsaved"));
        QVERIFY(window->IsDirty());
        QVERIFY(gConn.isOpen());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void closingSavesTheShownBook_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no question") << "(none)" << -1 << true;
        QTest::newRow("new subject, yes") << "Poetry" << int(PromptAnswer::Yes) << true;
        QTest::newRow("new subject, no: stays open") << "Poetry" << int(PromptAnswer::No) << false;
    }

    void closingSavesTheShownBook() {
        QFETCH(QString, subject);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Typed before closing"));
        window->cboSubject->setEditText(subject);
        if (answer >= 0)
            home.prompts().answer(PromptAnswer(answer));
        QCOMPARE(window->close(), closes);
        QCOMPARE(gConn.isOpen(), !closes);
        if (closes)
            QVERIFY(OpenDatabase());
        QCOMPARE(storedTitle(1),
                 closes ? QStringLiteral("Typed before closing") : QStringLiteral("Sample Book #1"));
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Typed before closing"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void logoutSavesWithoutQuestions() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->txtTitle->setText(QStringLiteral("Logged out"));
        window->cboSubject->setEditText(QStringLiteral("Poetry"));
        window->txtAcquireDate->setText(QStringLiteral("31.12.2024"));
        // No question can be shown: a date that cannot be read holds the save (and the logout).
        QVERIFY(!window->SaveWithoutQuestions());
        QCOMPARE(storedTitle(1), QStringLiteral("Sample Book #1"));
        QVERIFY(window->IsDirty());
        window->txtAcquireDate->setText(QStringLiteral("12/31/2024"));
        QVERIFY(window->SaveWithoutQuestions());
        QCOMPARE(storedTitle(1), QStringLiteral("Logged out"));
        QCOMPARE(StoredColumn(1, QStringLiteral("SubjectId")).toInt(),
                 *FindLookupId(LookupKind::Subject, QStringLiteral("Poetry")));
        QCOMPARE(home.prompts().count(), 0);
    }

    void unreadableDateIsRefused_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("acquired") << "txtAcquireDate"
                                  << "31.12.2024"
                                  << "Acquired: '31.12.2024' is not a date.  Type the date as mm/dd/yyyy, or "
                                     "empty the box for no date.";
        QTest::newRow("lent") << "txtLentDate"
                              << "someday"
                              << "Lent Date: 'someday' is not a date.  Type the date as mm/dd/yyyy, or empty "
                                 "the box for no date.";
    }

    void unreadableDateIsRefused() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int alpha = AddTestBook(QStringLiteral("Alpha"), [](BookFields& b) {
            b.acquireDate = QDate(2001, 2, 3);
            b.lentDate = QDate(2002, 3, 4);
        });
        const auto window = OpenActiveMainWindow();
        auto* date = window->findChild<QLineEdit*>(box);
        const QString column = box == QStringLiteral("txtAcquireDate") ? QStringLiteral("AcquireDate")
                                                                       : QStringLiteral("LentDate");
        const QString stored = StoredColumn(alpha, column).toString();
        date->setText(typed);
        window->txtTitle->setText(QStringLiteral("Alpha Revised"));
        home.prompts().answerOk();
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Warning"));
        QCOMPARE(home.prompts().last().text, message);
        QCOMPARE(shownBookId(*window), alpha);
        QCOMPARE(date->text(), typed);
        QTRY_VERIFY(date->hasFocus());
        QCOMPARE(storedTitle(alpha), QStringLiteral("Alpha"));
        QVERIFY(window->cmdSaveChanges->isEnabled());
        // An emptied box is no date.
        date->clear();
        clickSaveChanges(*window);
        QCOMPARE(storedTitle(alpha), QStringLiteral("Alpha Revised"));
        QVERIFY(stored != StoredColumn(alpha, column).toString());
        QCOMPARE(StoredColumn(alpha, column).toString(), QStringLiteral("1899-01-01"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void fullFieldRefusesTyping_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("limit");
        QTest::newRow("notes") << "txtNotes" << 255;
        QTest::newRow("title") << "txtTitle" << 100;
        QTest::newRow("label") << "txtLabelNumber" << 50;
    }

    // Typing into a full box changes nothing and leaves the caret where it was; a paste takes
    // what fits.
    void fullFieldRefusesTyping() {
        QFETCH(QString, box);
        QFETCH(int, limit);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenActiveMainWindow();
        QWidget* field = window->findChild<QWidget*>(box);
        auto* notes = qobject_cast<QPlainTextEdit*>(field);
        const char* textProperty = notes ? "plainText" : "text";
        const auto caret = [field, notes] {
            return notes ? notes->textCursor().position() : qobject_cast<QLineEdit*>(field)->cursorPosition();
        };
        const auto putCaret = [field, notes](int position) {
            if (notes) {
                QTextCursor cursor = notes->textCursor();
                cursor.setPosition(position);
                notes->setTextCursor(cursor);
            } else {
                qobject_cast<QLineEdit*>(field)->setCursorPosition(position);
            }
        };
        const QString full = QString(limit - 1, u'a') + u'z';
        field->setProperty(textProperty, full);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        putCaret(3);
        QTest::keyClicks(field, QStringLiteral("xyz"));
        QCOMPARE(field->property(textProperty).toString(), full);
        QCOMPARE(caret(), 3);

        const QString roomForTwo = QString(limit - 3, u'a') + u'z';
        field->setProperty(textProperty, roomForTwo);
        putCaret(0);
        QGuiApplication::clipboard()->setText(QStringLiteral("12345"));
        QVERIFY(QMetaObject::invokeMethod(field, "paste"));
        QCOMPARE(field->property(textProperty).toString(), u"12" + roomForTwo);
        QCOMPARE(caret(), 2);
        QVERIFY(window->SaveCurrentBook());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void focusReturnsAfterALookupQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("focused");
        QTest::newRow("no: the box it was about") << int(PromptAnswer::No) << "cboSubject";
        QTest::newRow("yes: the list") << int(PromptAnswer::Yes) << "lstMain";
    }

    void focusReturnsAfterALookupQuestion() {
        QFETCH(int, answer);
        QFETCH(QString, focused);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Zulu"));
        const auto window = OpenActiveMainWindow();
        window->cboSubject->setFocus();
        window->cboSubject->setEditText(QStringLiteral("Poetry"));
        home.prompts().answer(PromptAnswer(answer));
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QWidget* expected = window->findChild<QWidget*>(focused);
        QTRY_VERIFY(expected->hasFocus() || expected->isAncestorOf(QApplication::focusWidget()));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void shownBookStaysCurrentWithoutASelection() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const int alpha = AddTestBook(QStringLiteral("Alpha"));
        const auto window = OpenMainWindow();
        QCOMPARE(shownBookId(*window), alpha);
        const QRect below = window->lstMain->viewport()->rect();
        QTest::mouseClick(window->lstMain->viewport(), Qt::LeftButton, {}, QPoint(10, below.bottom() - 2));
        window->lstMain->clearSelection();
        QTest::mouseClick(window->cmdNextBook, Qt::LeftButton);
        QCOMPARE(shownBookId(*window), 1);
        window->lstMain->clearSelection();
        QTest::mouseClick(window->cmdPreviousBook, Qt::LeftButton);
        QCOMPARE(shownBookId(*window), alpha);
        window->lstMain->clearSelection();
        home.prompts().answer(PromptAnswer::No);
        QTest::mouseClick(window->cmdDeleteBook, Qt::LeftButton);
        QCOMPARE(home.prompts().last().text, QStringLiteral("Delete Book 'Alpha'?"));
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    // A lock another program holds past the wait: the user is told, the edits stay, and the
    // save can be tried again once the other program is done.
    void lockedCatalogueKeepsTheEditsForAnotherTry() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenActiveMainWindow();
        Connection second(QStringLiteral("second program"));
        QVERIFY(second.open(gConn.filePath()));
        QVERIFY(second.beginTransaction());
        QVERIFY(gConn.execute(QStringLiteral("PRAGMA busy_timeout = 100")));
        window->txtTitle->setText(QStringLiteral("Kept"));
        home.prompts().answerOk();
        clickSaveChanges(*window);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("The catalogue is in use by another program."));
        QVERIFY(window->IsDirty());
        QVERIFY(window->cmdSaveChanges->isEnabled());
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Kept"));
        second.rollback();
        clickSaveChanges(*window);
        QCOMPARE(storedTitle(1), QStringLiteral("Kept"));
        QVERIFY(!window->IsDirty());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void writesWaitForAnotherProgramsLock_data() {
        QTest::addColumn<QString>("work");
        QTest::newRow("save") << "save";
        QTest::newRow("import") << "import";
        QTest::newRow("unused authors") << "unused authors";
    }

    void writesWaitForAnotherProgramsLock() {
        QFETCH(QString, work);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString exchange = home.file(QStringLiteral("Books.txt"));
        QCOMPARE(ExportBooks(exchange).status, ExportResult::Status::Done);
        QVERIFY(gConn.execute(QStringLiteral("UPDATE [Book] SET [Title] = 'Renamed'")));
        const auto window = OpenMainWindow();
        window->txtPublisher->setText(QStringLiteral("Saved after the wait"));
        const qint64 authors = CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]"));
        const SecondProgramLock lock(gConn.filePath(), 3000);
        QVERIFY(lock.held());
        if (work == QStringLiteral("save")) {
            QVERIFY(window->SaveCurrentBook());
            QCOMPARE(StoredColumn(1, QStringLiteral("Publisher")).toString(),
                     QStringLiteral("Saved after the wait"));
            QCOMPARE(lock.pointerAtRelease(), int(Qt::WaitCursor));
        } else if (work == QStringLiteral("import")) {
            const ImportResult imported = ImportExchangeFile(exchange);
            QCOMPARE(imported.status, ImportResult::Status::Done);
            QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 2);
        } else {
            const auto deleted = DeleteAuthorsNotInUse();
            QVERIFY2(deleted, deleted ? "" : qPrintable(deleted.error().messageText()));
            QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]")), authors - *deleted);
        }
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void anotherProgramsChangeIsTold_data() {
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("storedTitle");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<bool>("goesOn");
        const QString retitle = QStringLiteral("UPDATE [Book] SET [Title] = 'Theirs' WHERE [BookId] = 1");
        const QString remove = QStringLiteral("DELETE FROM [Book] WHERE [BookId] = 1");
        QTest::newRow("yes overwrites") << retitle << int(PromptAnswer::Yes) << "Mine"
                                        << "Mine" << true;
        QTest::newRow("no reloads") << retitle << int(PromptAnswer::No) << "Theirs"
                                    << "Theirs" << true;
        QTest::newRow("cancel keeps editing") << retitle << int(PromptAnswer::Cancel) << "Theirs"
                                              << "Mine" << false;
        QTest::newRow("deleted, yes puts it back") << remove << int(PromptAnswer::Yes) << "Mine"
                                                   << "Mine" << true;
        QTest::newRow("deleted, no lets it go") << remove << int(PromptAnswer::No) << ""
                                                << "" << true;
    }

    void anotherProgramsChangeIsTold() {
        QFETCH(QString, theirs);
        QFETCH(int, answer);
        QFETCH(QString, storedTitle);
        QFETCH(QString, shownTitle);
        QFETCH(bool, goesOn);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        // This program saves once: nothing to tell while it is the only one.
        window->txtNotes->setPlainText(QStringLiteral("first save"));
        QVERIFY(window->SaveCurrentBook());
        Connection second(QStringLiteral("second program"));
        QVERIFY(second.open(gConn.filePath()));
        QVERIFY(second.execute(theirs));
        window->txtTitle->setText(QStringLiteral("Mine"));
        home.prompts().answer(PromptAnswer(answer));
        QCOMPARE(window->SaveCurrentBook(), goesOn);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Book Changed"));
        QCOMPARE(
            home.prompts().last().text,
            QStringLiteral(
                "Another program has changed or deleted 'Mine' since it was shown here.\n\nYes saves your "
                "changes over it; No drops your changes and shows the book as it is stored now; "
                "Cancel keeps editing."));
        QCOMPARE(::storedTitle(1), storedTitle);
        QCOMPARE(window->txtTitle->text(), shownTitle);
        QCOMPARE(window->IsDirty(), !goesOn);
        QCOMPARE(home.prompts().count(), 1);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void fieldsSelectTheirTextOnFocus() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto window = OpenMainWindow();
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        for (QLineEdit* box : {window->txtTitle, window->txtPublisher, window->txtCost}) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            QCOMPARE(box->selectedText(), box->text());
        }
    }
};

TOMEKEEP_TEST(EditorTest);
#include "tst_editor.moc"
