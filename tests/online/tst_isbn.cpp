#include "online/Isbn.h"
#include "support/TestMain.h"

#include <QTest>

class IsbnTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalise_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("isbn-10 with hyphens") << "0-14-044913-2"
                                              << "9780140449136";
        QTest::newRow("isbn-10 ending in X") << "0-8044-2957-X"
                                             << "9780804429573";
        QTest::newRow("isbn-10 lower-case x") << "080442957x"
                                              << "9780804429573";
        QTest::newRow("isbn-13 with blanks") << " 978 0 14 044913 6 "
                                             << "9780140449136";
        QTest::newRow("isbn-13 979 prefix") << "979-10-90636-07-1"
                                            << "9791090636071";
        QTest::newRow("wrong isbn-10 check digit") << "0-14-044913-3"
                                                   << "";
        QTest::newRow("wrong isbn-13 check digit") << "9780140449137"
                                                   << "";
        QTest::newRow("X inside isbn-10") << "01404X9132"
                                          << "";
        QTest::newRow("X on an isbn-13") << "978014044913X"
                                         << "";
        QTest::newRow("too short") << "014044913"
                                   << "";
        QTest::newRow("letters") << "ISBN0140449132"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void normalise() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(NormaliseIsbn(typed), stored);
        if (!stored.isEmpty())
            QVERIFY(IsIsbn13(stored));
    }
};

TOMEKEEP_TEST(IsbnTest);
#include "tst_isbn.moc"
