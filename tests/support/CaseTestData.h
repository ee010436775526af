#pragma once

#include "support/TestMain.h"

// Names that differ only in letter case, in the alphabets people's libraries hold: each pair is
// one name to the catalogue. Adds the columns "stored" and "typed" to a data-driven test.
inline void AddCaseFoldRows() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::newRow("É é") << u"Chloé Achebe"_s << u"CHLOÉ ACHEBE"_s;
    QTest::newRow("Ö ö") << u"Günter Grass Ölmann"_s << u"GÜNTER GRASS öLMANN"_s;
    QTest::newRow("Ç ç") << u"Çelik Yaşar"_s << u"çELIK YAŞAR"_s;
    QTest::newRow("Å å") << u"Åsa Larsson"_s << u"åSA LARSSON"_s;
    QTest::newRow("Greek") << u"Σίσυφος Καζαντζάκης"_s << u"ΣΊΣΥΦΟΣ ΚΑΖΑΝΤΖΆΚΗΣ"_s;
    QTest::newRow("Cyrillic") << u"Лев Толстой"_s << u"ЛЕВ ТОЛСТОЙ"_s;
    QTest::newRow("ß SS") << u"Straße der Bücher"_s << u"STRASSE DER BÜCHER"_s;
}

// Mixed titles in the order a reader expects them: accents and letter case count only after
// the letters themselves (the Unicode order; a Swedish reader would put Å after Z).
inline QStringList ReadingOrderTitles() {
    return {u"Ångström Tales"_s,  u"apple pie"_s,        u"Échos du Nord"_s,
            u"Under the Échos"_s, u"Under the Winter"_s, u"Zebra Days"_s};
}
