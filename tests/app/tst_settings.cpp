#include "app/Paths.h"
#include "app/Settings.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTest>

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingKeysReadAsTheDefault() {
        TestHome home;
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("BIBLIO")), QStringLiteral("BIBLIO"));
        QCOMPARE(GetSetting(QStringLiteral("gSearchTitle")), QString());
        QCOMPARE(GetNumericSetting(QStringLiteral("SortCol"), 1), 1);
        QVERIFY(!QFile::exists(home.file(QStringLiteral("BIBLIO.ini"))));
    }

    void valuesAreKeptAsTextPerKey() {
        TestHome home;
        SaveSetting(QStringLiteral("gSearchNotes"), QStringLiteral("*war*"));
        SaveSetting(QStringLiteral("gSearchAuthor"), QStringLiteral("Zola, Émile"));
        SaveSetting(QStringLiteral("frmWizard.Top"), QStringLiteral("1440"));
        QCOMPARE(GetSetting(QStringLiteral("gSearchNotes")), QStringLiteral("*war*"));
        QCOMPARE(GetSetting(QStringLiteral("gSearchAuthor")), QStringLiteral("Zola, Émile"));
        SaveSetting(QStringLiteral("gSearchNotes"), QStringLiteral("peace"));
        QCOMPARE(GetSetting(QStringLiteral("gSearchNotes")), QStringLiteral("peace"));
        QCOMPARE(GetSetting(QStringLiteral("frmWizard.Top")), QStringLiteral("1440"));
        // Stored where a portable installation keeps them, in the section "Settings".
        QFile ini(home.file(QStringLiteral("BIBLIO.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("[Settings]"));
        QVERIFY(text.contains("gSearchNotes=peace"));
    }

    void numericKeysTakeTheLeadingNumber_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "7" << 7;
        QTest::newRow("trailing text") << "3 columns" << 3;
        QTest::newRow("no number") << "title" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("negative") << "-1" << -1;
    }

    void numericKeysTakeTheLeadingNumber() {
        QFETCH(QString, stored);
        QFETCH(int, value);
        TestHome home;
        SaveSetting(QStringLiteral("SortCol"), stored);
        QCOMPARE(GetNumericSetting(QStringLiteral("SortCol"), 1), value);
    }

    void malformedFileGivesDefaultsWithoutCrashing() {
        TestHome home;
        QFile ini(home.file(QStringLiteral("BIBLIO.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QByteArray garbage;
        for (int i = 0; i < 2048; ++i)
            garbage.append(static_cast<char>((i * 31) % 256));
        ini.write("[Settings\n=DBName\n\xff\xfe" + garbage);
        ini.close();
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("BIBLIO")), QStringLiteral("BIBLIO"));
        QCOMPARE(GetNumericSetting(QStringLiteral("Copies"), 1), 1);
    }

    void unreadableStoreGivesDefaults() {
        TestHome home;
        // A folder where the settings file should be: nothing can be read or written.
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("BIBLIO.ini")));
        SaveSetting(QStringLiteral("DBName"), QStringLiteral("ELSEWHERE"));
        QCOMPARE(GetSetting(QStringLiteral("DBName"), QStringLiteral("BIBLIO")), QStringLiteral("BIBLIO"));
    }

    void pathsFollowTheDataFolder() {
        TestHome home;
        QCOMPARE(DataFolder(), home.path());
        QCOMPARE(CatalogueFilePath(QStringLiteral("HOMELIB2")), home.file(QStringLiteral("HOMELIB2.sqlite")));
        QCOMPARE(SpoolFolder(), home.file(QStringLiteral("Temp")));
        QVERIFY(QDir(home.file(QStringLiteral("Temp"))).exists());
        QCOMPARE(DefaultExchangeFile(), QDir::homePath() + QStringLiteral("/Books.txt"));
    }
};

TOMEKEEP_TEST(SettingsTest);
#include "tst_settings.moc"
