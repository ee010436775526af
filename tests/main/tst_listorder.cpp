#include "main/BookTestData.h"
#include "support/SqliteTool.h"

// Titles another program writes or changes keep their place in the alphabetical order: the list
// keys them again before it reads them, and a catalogue that may only be read, whose keys cannot
// be written, sorts its titles as it reads them.
class ListOrderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void titlesOtherProgramsWroteListInReadingOrder() {
        FRESH_MAIN_HOME(home);
        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
        for (const QString& title : {u"Échos du Nord"_s, u"Bach"_s, u"zebra"_s})
            AddTestBook(title);
        const QString path = gConn.filePath();
        const auto listed = [] {
            BookListModel model;
            return model.reload(std::nullopt, BookListModel::ColTitle, Qt::AscendingOrder)
                       ? ListedTitles(model)
                       : QStringList{u"failed"_s};
        };
        QCOMPARE(listed(), QStringList({u"Bach"_s, u"Échos du Nord"_s, u"zebra"_s}));
        const QString added =
            u"INSERT INTO Book (SubjectId, LocationId, FormatId, RatingId, Title, LabelNumber, "
            "Copyright, Pages, Stars, AcquireDate, Cost, LentDate) VALUES "
            "(1, 1, 1, 1, 'apple', '', 0, 0, 0, '', 0, '');"_s;
        QCOMPARE(SqliteTool(path, u"UPDATE Book SET Title = 'Ärger im Öl' WHERE Title = 'Échos du Nord'; "_s +
                                      added),
                 QString());
        QCOMPARE(listed(), QStringList({u"apple"_s, u"Ärger im Öl"_s, u"Bach"_s, u"zebra"_s}));
        QCOMPARE(SqliteTool(path, u"UPDATE Book SET Title = 'Aaron' WHERE Title = 'zebra';"_s), QString());
        QVERIFY(gConn.open(path, Connection::OpenMode::ReadOnlyFile));
        QCOMPARE(listed(), QStringList({u"Aaron"_s, u"apple"_s, u"Ärger im Öl"_s, u"Bach"_s}));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [TitleOrder] IS NULL"_s), 1);
    }
};

TOMEKEEP_TEST(ListOrderTest);
#include "tst_listorder.moc"
