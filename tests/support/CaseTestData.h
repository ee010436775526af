#pragma once

#include <QStringList>
#include <QTest>

// Names that differ only in letter case, in the alphabets people's libraries hold: each pair is
// one name to the catalogue. Adds the columns "stored" and "typed" to a data-driven test.
inline void AddCaseFoldRows() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::newRow("É é") << QStringLiteral("Chloé Achebe") << QStringLiteral("CHLOÉ ACHEBE");
    QTest::newRow("Ö ö") << QStringLiteral("Günter Grass Ölmann") << QStringLiteral("GÜNTER GRASS öLMANN");
    QTest::newRow("Ç ç") << QStringLiteral("Çelik Yaşar") << QStringLiteral("çELIK YAŞAR");
    QTest::newRow("Å å") << QStringLiteral("Åsa Larsson") << QStringLiteral("åSA LARSSON");
    QTest::newRow("Greek") << QStringLiteral("Σίσυφος Καζαντζάκης") << QStringLiteral("ΣΊΣΥΦΟΣ ΚΑΖΑΝΤΖΆΚΗΣ");
    QTest::newRow("Cyrillic") << QStringLiteral("Лев Толстой") << QStringLiteral("ЛЕВ ТОЛСТОЙ");
    QTest::newRow("ß SS") << QStringLiteral("Straße der Bücher") << QStringLiteral("STRASSE DER BÜCHER");
}

// Mixed titles in the order a reader expects them: accents and letter case count only after
// the letters themselves (the Unicode order; a Swedish reader would put Å after Z).
inline QStringList ReadingOrderTitles() {
    return {QStringLiteral("Ångström Tales"),   QStringLiteral("apple pie"),
            QStringLiteral("Échos du Nord"),    QStringLiteral("Under the Échos"),
            QStringLiteral("Under the Winter"), QStringLiteral("Zebra Days")};
}
