#include "main/BookTestData.h"
#include "main/QuickFilter.h"

class QuickFilterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterMatches_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("fields"); // title, author, subject, publisher, label, notes
        QTest::addColumn<bool>("matches");
        const QStringList book = {u"Germinal"_s,    u"Émile ZOLA"_s, u"Fiction"_s,
                                  u"Charpentier"_s, u"FR-042"_s,     u"Signed copy\nfirst édition"_s};
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
        QTest::newRow("Greek case") << "οδύσσεια" << QStringList({u"ΟΔΎΣΣΕΙΑ"_s}) << true;
        QTest::newRow("beyond the first plane") << "𝔄b" << QStringList({u"x𝔄B"_s}) << true;
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
        FRESH_MAIN_HOME(home);
        const int authorId = *GetLookupId(u"Author"_s, u"AuthorId"_s, u"Émile Zola"_s);
        AddTestBook(u"Germinal"_s, [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(u"Nana"_s, [authorId](BookFields& b) { b.authorId = authorId; });
        AddTestBook(u"The Zoo"_s, [](BookFields& b) { b.notes = u"about ZOLA"_s; });
        const auto window = OpenMainWindow();
        QCOMPARE(window->ListModel().rowCount(), 4);

        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(window->txtFilter->hasFocus());
        QTest::keyClicks(window->txtFilter, u"ZOL"_s);
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({u"Germinal"_s, u"Nana"_s, u"The Zoo"_s}));
        QCOMPARE(window->lblCount->text(), u"Books in list: 3"_s);
        QCOMPARE(window->txtTitle->text(), u"Germinal"_s);
        QVERIFY(window->txtFilter->hasFocus());

        // A view over the search in force: a title search is narrowed, not replaced.
        gSearchMode = kSearchTitle;
        gSearchTitle = u"*n*"_s;
        window->PopulateLstMain();
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({u"Germinal"_s, u"Nana"_s}));
        QTest::keyClicks(window->txtFilter, u" nan"_s);
        QCOMPARE(ListedTitles(window->ListModel()), QStringList({u"Nana"_s}));
        QCOMPARE(window->txtTitle->text(), u"Nana"_s);

        QTest::keyClicks(window->txtFilter, u"x"_s);
        QCOMPARE(window->ListModel().rowCount(), 0);
        QCOMPARE(window->lblCount->text(), u"Books in list: 0"_s);
        QVERIFY(!window->txtTitle->isEnabled());

        // Esc in the filter clears it (and does not ask to exit): the search's whole list is back.
        QTest::keyClick(window->txtFilter, Qt::Key_Escape);
        QCOMPARE(window->txtFilter->text(), QString());
        QCOMPARE(window->ListModel().rowCount(), 2);
        QCOMPARE(window->lblCount->text(), u"Books in list: 2"_s);
        QVERIFY(window->txtTitle->isEnabled());
        QVERIFY(window->isVisible());
    }
};

TOMEKEEP_TEST(QuickFilterTest);
#include "tst_quickfilter.moc"
