#include "online/Isbn.h"
#include "support/TestMain.h"

class IsbnTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalise_data() {
        AddColumns<QString, QString>("typed", "stored");
        AddRow("isbn-10 with hyphens", "0-14-044913-2", "9780140449136");
        AddRow("isbn-10 ending in X", "0-8044-2957-X", "9780804429573");
        AddRow("isbn-10 lower-case x", "080442957x", "9780804429573");
        AddRow("isbn-13 with blanks", " 978 0 14 044913 6 ", "9780140449136");
        AddRow("isbn-13 979 prefix", "979-10-90636-07-1", "9791090636071");
        AddRow("wrong isbn-10 check digit", "0-14-044913-3", "");
        AddRow("wrong isbn-13 check digit", "9780140449137", "");
        AddRow("X inside isbn-10", "01404X9132", "");
        AddRow("X on an isbn-13", "978014044913X", "");
        AddRow("too short", "014044913", "");
        AddRow("letters", "ISBN0140449132", "");
        AddRow("empty", "", "");
    }
    void normalise() {
        const auto [typed, stored] = FetchColumns<QString, QString>("typed", "stored");
        QCOMPARE(NormaliseIsbn(typed), stored);
        if (!stored.isEmpty())
            QVERIFY(IsIsbn13(stored));
    }
};

TOMEKEEP_TEST(IsbnTest);
#include "tst_isbn.moc"
