#include "backup/Backup.h"
#include "backup/frmRestore.h"
#include "db/Catalogue.h"
#include "db/Connection.h"
#include "db/RecordHelpers.h"
#include "exchange/ExchangeWindows.h"
#include "imports/ImportWindows.h"
#include "main/BookListModel.h"
#include "main/BookTestData.h"
#include "main/frmStartOver.h"
#include "main/frmWizard.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QDateTime kFirst(QDate(2026, 3, 1), QTime(9, 30, 0));

QStringList backupNames(const QString& name) {
    QStringList names;
    for (const BackupFile& backup : ListBackups(BackupFolder(), name))
        names << QFileInfo(backup.path).fileName();
    return names;
}

// A file where the backup folder should be: no backup can be written.
void blockBackups(const TestHome& home) {
    QFile blocker(home.file(QStringLiteral("Backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eleventhBackupDropsTheOldest() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        // Backups of another catalogue whose name starts alike are not counted or touched.
        QFile other(QDir(BackupFolder()).filePath(QStringLiteral("BIBLIO2-20260101-000000.sqlite")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        for (int i = 0; i < 11; ++i) {
            QVERIFY(BackUpCatalogue(kFirst.addDays(i)));
        }
        const QStringList kept = backupNames(QStringLiteral("BIBLIO"));
        QCOMPARE(kept.size(), kBackupsKept);
        QCOMPARE(kept.first(), QStringLiteral("BIBLIO-20260311-093000.sqlite"));
        QCOMPARE(kept.last(), QStringLiteral("BIBLIO-20260302-093000.sqlite"));
        QVERIFY(other.exists());
        // Two backups in the same second keep both.
        QVERIFY(BackUpCatalogue(kFirst.addDays(20)));
        QVERIFY(BackUpCatalogue(kFirst.addDays(20)));
        QCOMPARE(backupNames(QStringLiteral("BIBLIO")).mid(0, 2),
                 QStringList({QStringLiteral("BIBLIO-20260321-093001.sqlite"),
                              QStringLiteral("BIBLIO-20260321-093000.sqlite")}));
        QVERIFY(!DailyBackupDue(QDate(2026, 3, 21)));
        QVERIFY(DailyBackupDue(QDate(2026, 3, 22)));
    }

    void restoreBringsBackTheBooksOfTheBackup() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Kept in the backup"));
        const auto made = BackUpCatalogue(kFirst);
        QVERIFY(made);
        QCOMPARE(BackupBookCount(*made).value(), 2);
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        QVERIFY(RestoreCatalogueFrom(*made));
        QVERIFY(gConn.isOpen());
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Kept in the backup'")),
                 1);
    }

    void fileThatIsNoBackupIsNotRestored() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString junk = home.file(QStringLiteral("junk.sqlite"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'x'));
        file.close();
        QVERIFY(!RestoreCatalogueFrom(junk));
        QVERIFY(gConn.isOpen());
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book]")), 1);
        QCOMPARE(QFile(junk).size(), 2048);
    }

    void restoreFromTheFileMenu() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Before the accident"));
        QVERIFY(BackUpCatalogue(kFirst));
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
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
        QCOMPARE(shown, QStringList({QStringLiteral("Restore from Backup"),
                                     QStringLiteral("03/01/2026 09:30:00"), QStringLiteral("2")}));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("'BIBLIO' was restored from the backup of 03/01/2026 09:30:00."));
        QCOMPARE(ListedTitles(window->ListModel()),
                 QStringList({QStringLiteral("Before the accident"), QStringLiteral("Sample Book #1")}));
        // The emptied catalogue was backed up before it was replaced.
        const std::vector<BackupFile> backups = ListBackups(BackupFolder(), QStringLiteral("BIBLIO"));
        QCOMPARE(backups.size(), size_t(2));
        QCOMPARE(BackupBookCount(backups.front().path).value(), 0);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
    }

    void failedBackupStopsItsCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("check and repair") << "repair";
        QTest::newRow("delete unused authors") << "authors";
        QTest::newRow("start over") << "startover";
        QTest::newRow("import") << "import";
        QTest::newRow("import from other programs") << "other";
    }

    void failedBackupStopsItsCommand() {
        QFETCH(QString, command);
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        AddTestBook(QStringLiteral("Must survive"));
        const auto window = OpenMainWindow();
        const qint64 authors = CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]"));
        blockBackups(home);
        if (command != QStringLiteral("import") && command != QStringLiteral("other"))
            home.prompts().answer(PromptAnswer::Yes);
        home.prompts().answerOk();
        if (command == QStringLiteral("repair")) {
            window->mnuToolsCheckData->trigger();
        } else if (command == QStringLiteral("authors")) {
            window->mnuSetupDeleteUnusedAuthors->trigger();
        } else if (command == QStringLiteral("startover")) {
            home.onNextModal([](QDialog& dialog) {
                auto& startOver = dynamic_cast<frmStartOver&>(dialog);
                startOver.chkStartOver1->setChecked(true);
                startOver.cmdStartOver->click();
                return startOver.result();
            });
            window->mnuToolsStartOver->trigger();
        } else if (command == QStringLiteral("other")) {
            const QString file = home.file(QStringLiteral("goodreads_library_export.csv"));
            QFile export_(file);
            QVERIFY(export_.open(QIODevice::WriteOnly));
            export_.write("Book Id,Title,Author,Exclusive Shelf\r\n1,Emma,Jane Austen,read\r\n");
            export_.close();
            home.onNextModal([file](QDialog& dialog) {
                auto& import = dynamic_cast<frmImportOther&>(dialog);
                import.loadFile(file);
                import.cmdImport->click();
                return import.result();
            });
            window->mnuToolsImportOther->trigger();
        } else {
            const QString file = home.file(QStringLiteral("Books.txt"));
            QFile exchange(file);
            QVERIFY(exchange.open(QIODevice::WriteOnly));
            exchange.close();
            home.onNextModal([file](QDialog& dialog) {
                auto& import = dynamic_cast<frmImport&>(dialog);
                import.txtFilename->setText(file);
                import.cmdImport->click();
                return import.result();
            });
            window->mnuToolsImport->trigger();
        }
        const ScriptedPrompts::Record& told = home.prompts().last();
        QCOMPARE(told.title, QStringLiteral("Error"));
        QVERIFY2(told.text.startsWith(
                     QStringLiteral("The book database could not be backed up, so nothing was changed.")),
                 qPrintable(told.text));
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = 'Must survive'")), 1);
        QCOMPARE(CountOf(QStringLiteral("SELECT COUNT(*) FROM [Author]")), authors);
        QVERIFY(gConn.isOpen());
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.pendingModalActions(), 0);
    }
};

TOMEKEEP_TEST(BackupTest);
#include "tst_backup.moc"
