#include "db/Connection.h"
#include "main/BookEditor.h"
#include "main/BookListModel.h"
#include "main/BookListView.h"
#include "main/BookTestData.h"
#include "main/BookText.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

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
        window->txtLentDate->setText(QStringLiteral("someday"));
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

        window->txtPublisher->setText(QStringLiteral("Kept Press"));
        window->mnuFileAddBook->trigger();
        QCOMPARE(CountOf(newBooks), 1);
        QCOMPARE(shownBookId(*window), second);
        QCOMPARE(window->txtPublisher->text(), QStringLiteral("Kept Press"));
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
