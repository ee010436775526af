#include "backup/Backup.h"
#include "backup/frmRestore.h"
#include "db/Catalogue.h"
#include "exchange/ExchangeWindows.h"
#include "imports/ImportWindows.h"
#include "main/BookTestData.h"
#include "main/frmStartOver.h"

namespace {

const QDateTime kFirst(QDate(2026, 3, 1), QTime(9, 30, 0));

QStringList backupNames(const QString& name) {
    QStringList names;
    for (const BackupFile& backup : ListBackups(BackupFolder(), name))
        names << QFileInfo(backup.path).fileName();
    return names;
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Ten backups are kept. The start-up backup tells a failure and changes nothing; once made, it
    // is not made again that day.
    void eleventhBackupDropsTheOldest() {
        FRESH_CHECKED_HOME(home);
        WriteFile(home.file(u"Backups"_s)); // a file where the backup folder should be
        home.prompts().answerOk();
        DailyBackup();
        QVERIFY(home.prompts().lastShown().startsWith(
            u"Backup: Today's backup of the book database could not be made.\n\n"_s));
        QVERIFY(QFile::remove(home.file(u"Backups"_s)));
        // Backups of another catalogue whose name starts alike are not counted or touched.
        const QString other = QDir(BackupFolder()).filePath(u"BIBLIO2-20260101-000000.sqlite"_s);
        WriteFile(other);
        for (int i = 0; i < 11; ++i)
            QVERIFY(BackUpCatalogue(kFirst.addDays(i)));
        const QStringList kept = backupNames(u"BIBLIO"_s);
        QCOMPARE(QStringList({QString::number(kept.size()), kept.first(), kept.last()}),
                 QStringList({"10", "BIBLIO-20260311-093000.sqlite", "BIBLIO-20260302-093000.sqlite"}));
        QVERIFY(QFile::exists(other));
        // Two backups in the same second keep both.
        QVERIFY(BackUpCatalogue(kFirst.addDays(20)));
        QVERIFY(BackUpCatalogue(kFirst.addDays(20)));
        QCOMPARE(backupNames(u"BIBLIO"_s).mid(0, 2),
                 QStringList({u"BIBLIO-20260321-093001.sqlite"_s, u"BIBLIO-20260321-093000.sqlite"_s}));
        QVERIFY(!DailyBackupDue(QDate(2026, 3, 21)) && DailyBackupDue(QDate(2026, 3, 22)));
        DailyBackup();
        DailyBackup();
        QCOMPARE(backupNames(u"BIBLIO"_s).filter(QDate::currentDate().toString(u"yyyyMMdd"_s)).size(), 1);
    }

    void restoreFromTheFileMenu() {
        FRESH_CHECKED_HOME(home);
        home.prompts().answerOk();
        OpenMainWindow()->mnuFileRestore->trigger();
        QCOMPARE(home.prompts().last().text, u"There is no backup of 'BIBLIO' yet."_s);
        AddTestBook(u"Before the accident"_s);
        QVERIFY(BackUpCatalogue(kFirst));
        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
        const auto window = OpenMainWindow();
        QCOMPARE(window->ListModel().rowCount(), 0);
        QStringList shown;
        home.onNextModal([&shown](QDialog& dialog) {
            auto& restore = dynamic_cast<frmRestore&>(dialog);
            QTreeWidgetItem* row = restore.lstBackups->topLevelItem(0);
            shown << restore.windowTitle() << row->text(0) << row->text(1);
            restore.cmdRestore->click();
            return restore.result();
        });
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        window->mnuFileRestore->trigger();
        QCOMPARE(shown, QStringList({u"Restore from Backup"_s, u"03/01/2026 09:30:00"_s, u"2"_s}));
        QCOMPARE(home.prompts().last().text,
                 u"'BIBLIO' was restored from the backup of 03/01/2026 09:30:00."_s);
        QCOMPARE(ListedTitles(window->ListModel()),
                 QStringList({u"Before the accident"_s, u"Sample Book #1"_s}));
        // The emptied catalogue was backed up before it was replaced.
        const std::vector<BackupFile> backups = ListBackups(BackupFolder(), u"BIBLIO"_s);
        QVERIFY(backups.size() == 2 && BackupBookCount(backups.front().path).value() == 0);

        // A file that is no backup is not restored and the catalogue stays open as it was.
        const QString junk = home.file(u"junk.sqlite"_s);
        WriteFile(junk, QByteArray(2048, 'x'));
        QVERIFY(!RestoreCatalogueFrom(junk) && gConn.isOpen());
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book]"_s) + QFile(junk).size(), 2 + 2048);
    }

    void failedBackupStopsItsCommand_data() {
        QTest::addColumn<QString>("command");
        for (const char* command : {"mnuToolsCheckData", "mnuSetupDeleteUnusedAuthors", "mnuToolsStartOver",
                                    "mnuToolsImport", "mnuToolsImportOther"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    void failedBackupStopsItsCommand() {
        QFETCH(QString, command);
        FRESH_CHECKED_HOME(home);
        AddTestBook(u"Must survive"_s);
        const auto window = OpenMainWindow();
        const qint64 authors = NumberOf(u"SELECT COUNT(*) FROM [Author]"_s);
        WriteFile(home.file(u"Backups"_s));
        const bool imports = command.startsWith(u"mnuToolsImport"_s);
        if (!imports)
            home.prompts().answer(PromptAnswer::Yes);
        home.prompts().answerOk();
        if (command == u"mnuToolsStartOver"_s)
            home.onNextModal(ConfirmStartOver);
        const QString file = home.file(u"goodreads_library_export.csv"_s);
        WriteFile(file, "Book Id,Title,Author,Exclusive Shelf\r\n1,Emma,Jane Austen,read\r\n");
        if (imports)
            home.onNextModal([file](QDialog& dialog) {
                if (auto* other = dynamic_cast<frmImportOther*>(&dialog))
                    other->loadFile(file);
                else
                    dynamic_cast<frmImport&>(dialog).txtFilename->setText(file);
                dialog.findChild<QPushButton*>(u"cmdImport"_s)->click();
                return dialog.result();
            });
        window->findChild<QAction*>(command)->trigger();
        const QString told = home.prompts().lastShown();
        QVERIFY2(
            told.startsWith(u"Error: The book database could not be backed up, so nothing was changed."_s),
            qPrintable(told));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Must survive'"_s), 1);
        QVERIFY(NumberOf(u"SELECT COUNT(*) FROM [Author]"_s) == authors && gConn.isOpen() &&
                home.pendingModalActions() == 0);
    }
};

TOMEKEEP_TEST(BackupTest);
#include "tst_backup.moc"
