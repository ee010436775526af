#include "db/Connection.h"
#include "main/BookListModel.h"
#include "main/BookTestData.h"
#include "main/QuickFilter.h"
#include "main/SearchState.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class QuickFilterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterMatches_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("fields"); // title, author, subject, publisher, label, notes
        QTest::addColumn<bool>("matches");
        const QStringList book = {QStringLiteral("Germinal"), QStringLiteral("Émile ZOLA"),
                                  QStringLiteral("Fiction"),  QStringLiteral("Charpentier"),
                                  QStringLiteral("FR-042"),   QStringLiteral("Signed copy\nfirst édition")};
        QTest::newRow("letter case") << "zola" << book << true;
        QTest::newRow("accent stored, not typed") << "emile" << book << true;
        QTest::newRow("accent typed, not stored") << "gérminal" << book << true;
        QTest::newRow("upper-case accent typed") << "ÉMILE" << book << true;
        QTest::newRow("title") << "ermin" << book << true;
        QTest::newRow("subject") << "fict" << book << true;
        QTest::newRow("publisher") << "charp" << book << true;
        QTest::newRow("label number") << "fr-04" << book << true;
        QTest::newRow("notes, second line") << "edition" << book << true;
        QTest::newRow("every word, any field") << "  zola   germinal " << book << true;
        QTest::newRow("one word missing") << "zola nana" << book << false;
        QTest::newRow("no word across two fields") << "minalemile" << book << false;
        QTest::newRow("nothing typed") << "   " << book << true;
        QTest::newRow("no match") << "tolstoy" << book << false;
        QTest::newRow("Greek case") << "οδύσσεια" << QStringList({QStringLiteral("ΟΔΎΣΣΕΙΑ")}) << true;
        QTest::newRow("beyond the first plane") << "𝔄b" << QStringList({QStringLiteral("x𝔄B")}) << true;
    }

    void filterMatches() {
        QFETCH(QString, typed);
        QFETCH(QStringList, fields);
        QFETCH(bool, matches);
        while (fields.size() < 6)
            fields << QString();
        const std::string key =
            BookFilterKey({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
        QCOMPARE(MatchesFilter(key, FilterWords(typed)), matches);
        // Read straight from the catalogue's UTF-8, a field folds to the same key.
        std::string fromUtf8;
        for (const QString& field : fields)
            AppendUtf8FilterField(fromUtf8, field.toStdString());
        QCOMPARE(fromUtf8, key);
    }

    void typingNarrowsTheListOverTheSearchInForce() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const auto zola = gConn.insert(QStringLiteral("INSERT INTO [Author] ([Name]) VALUES ('Émile Zola')"));
        QVERIFY(zola);
        const int authorId = static_cast<int>(*zola);
        AddTestBook(QStringLiteral("Germinal"), [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(QStringLiteral("Nana"), [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(QStringLiteral("The Zoo"), [](BookFields& b) { b.notes = QStringLiteral("about ZOLA"); });
        const auto window = OpenMainWindow();
        QCOMPARE(window->ListModel().rowCount(), 4);

        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(window->txtFilter->hasFocus());
        QTest::keyClicks(window->txtFilter, QStringLiteral("ZOL"));
        QCOMPARE(
            ListedTitles(window->ListModel()),
            QStringList({QStringLiteral("Germinal"), QStringLiteral("Nana"), QStringLiteral("The Zoo")}));
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: 3"));
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Germinal"));
        QVERIFY(window->txtFilter->hasFocus());

        // A view over the search in force: a title search is narrowed, not replaced.
        gSearchMode = kSearchTitle;
        gSearchTitle = QStringLiteral("*n*");
        window->PopulateLstMain();
        QCOMPARE(ListedTitles(window->ListModel()),
                 QStringList({QStringLiteral("Germinal"), QStringLiteral("Nana")}));
        QTest::keyClicks(window->txtFilter, QStringLiteral(" nan"));
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({QStringLiteral("Nana")}));
        QCOMPARE(window->txtTitle->text(), QStringLiteral("Nana"));

        QTest::keyClicks(window->txtFilter, QStringLiteral("x"));
        QCOMPARE(window->ListModel().rowCount(), 0);
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: 0"));
        QVERIFY(!window->txtTitle->isEnabled());

        // Esc in the filter clears it (and does not ask to exit): the search's whole list is back.
        QTest::keyClick(window->txtFilter, Qt::Key_Escape);
        QCOMPARE(window->txtFilter->text(), QString());
        QCOMPARE(window->ListModel().rowCount(), 2);
        QCOMPARE(window->lblCount->text(), QStringLiteral("Books in list: 2"));
        QVERIFY(window->txtTitle->isEnabled());
        QVERIFY(window->isVisible());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }
};

TOMEKEEP_TEST(QuickFilterTest);
#include "tst_quickfilter.moc"
