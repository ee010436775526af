#include "app/Settings.h"
#include "support/TestHome.h"

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A missing key reads as the default and writes nothing; values are text, one a key, and a
    // number is read from the start of its text.
    void valuesAreKeptAsTextPerKey() {
        TestHome home;
        QCOMPARE(GetSetting(u"DBName"_s, u"BIBLIO"_s), u"BIBLIO"_s);
        QCOMPARE(GetNumericSetting(u"SortCol"_s, 1), 1);
        QVERIFY(!QFile::exists(home.file(u"BIBLIO.ini"_s)));
        SaveSetting(u"gSearchNotes"_s, u"*war*"_s);
        SaveSetting(u"gSearchAuthor"_s, u"Zola, Émile"_s);
        SaveSetting(u"frmWizard.Top"_s, u"1440"_s);
        QCOMPARE(GetSetting(u"gSearchNotes"_s), u"*war*"_s);
        SaveSetting(u"gSearchNotes"_s, u"peace"_s);
        QCOMPARE(QStringList({GetSetting(u"gSearchNotes"_s), GetSetting(u"gSearchAuthor"_s),
                              GetSetting(u"frmWizard.Top"_s)}),
                 QStringList({"peace", "Zola, Émile", "1440"}));
        // Stored where a portable installation keeps them, in the section "Settings".
        QFile ini(home.file(u"BIBLIO.ini"_s));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("[Settings]") && text.contains("gSearchNotes=peace"));
        const QList<std::pair<const char*, int>> stored = {
            {"7", 7}, {"3 columns", 3}, {"title", 0}, {"", 0}, {"-1", -1}};
        for (const auto& [text, value] : stored) {
            SaveSetting(u"SortCol"_s, QString::fromLatin1(text));
            QCOMPARE(GetNumericSetting(u"SortCol"_s, 1), value);
        }
    }

    // A settings file of junk, or a folder where it should be, reads as the defaults.
    void brokenStoreGivesDefaults() {
        for (const bool folder : {false, true}) {
            TestHome home;
            QByteArray junk = "[Settings\n=DBName\n\xff\xfe";
            for (int i = 0; i < 2048; ++i)
                junk.append(static_cast<char>((i * 31) % 256));
            if (folder) {
                // Nothing can be read or written there.
                QVERIFY(QDir(home.path()).mkdir(u"BIBLIO.ini"_s));
                SaveSetting(u"DBName"_s, u"ELSEWHERE"_s);
            } else {
                WriteFile(home.file(u"BIBLIO.ini"_s), junk);
            }
            QVERIFY2(GetSetting(u"DBName"_s, u"BIBLIO"_s) == u"BIBLIO"_s &&
                         GetNumericSetting(u"Copies"_s, 1) == 1,
                     folder ? "folder" : "junk");
        }
    }
};

TOMEKEEP_TEST(SettingsTest);
#include "tst_settings.moc"
