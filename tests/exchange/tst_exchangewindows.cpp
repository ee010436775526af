#include "ExchangeTestSupport.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "exchange/ExchangeWindows.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace exchangetest;

namespace {

// Queues the user's actions in the next export or import window: the file name typed, then
// Enter (which must run the window's default button). Answers whether the window was still open.
template <typename Window>
std::shared_ptr<bool> typeNameAndPressEnter(TestHome& home, const QString& name) {
    auto stillOpen = std::make_shared<bool>(false);
    home.onNextModal([name, stillOpen](QDialog& dialog) {
        auto& window = dynamic_cast<Window&>(dialog);
        window.txtFilename->setText(name);
        QTest::keyClick(window.txtFilename, Qt::Key_Return);
        *stillOpen = window.isVisible();
        return window.result();
    });
    return stillOpen;
}

QString readOnlyTarget(const TestHome& home) {
    const QString path = home.file(QStringLiteral("locked.txt"));
    writeBytes(path, "locked");
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return path;
    // Permissions do not stop the administrator; a kernel file still refuses to be written.
    return QFile::exists(QStringLiteral("/sys/kernel/notes")) ? QStringLiteral("/sys/kernel/notes")
                                                              : QString();
}

} // namespace

class ExchangeWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportWindowWritesTheFileAndSaysHowManyBooks() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("out.txt"));
        home.onNextModal([&path](QDialog& dialog) {
            auto& window = dynamic_cast<frmExport&>(dialog);
            if (window.windowTitle() != QStringLiteral("Export Books") ||
                window.lblHelp->text() != QStringLiteral("Export your books to a comma delimited file.") ||
                window.txtFilename->text() != DefaultExchangeFile())
                return -1;
            window.txtFilename->setText(path);
            window.cmdExport->click();
            return window.result();
        });
        home.prompts().answerOk();
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Export complete"));
        QCOMPARE(home.prompts().last().text, QStringLiteral("1 books exported."));
        QCOMPARE(GetSetting(QStringLiteral("ExportFilename")), path);
        QVERIFY(
            readBytes(path).startsWith(QByteArray(ExchangeHeader().toUtf8() + "\r\n1,\"Sample Book #1\"")));
    }

    void anExistingFileIsOverwrittenOnlyOnYes() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("out.txt"));
        writeBytes(path, "keep me");
        SaveSetting(QStringLiteral("ExportFilename"), QStringLiteral("earlier.txt"));
        const auto stillOpen = typeNameAndPressEnter<frmExport>(home, path);
        home.prompts().answer(PromptAnswer::No);
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(*stillOpen);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Overwrite Warning"));
        QCOMPARE(home.prompts().last().text, u'\'' + path + QStringLiteral("' already exists. Overwrite?"));
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
        QCOMPARE(readBytes(path), QByteArray("keep me"));
        QCOMPARE(GetSetting(QStringLiteral("ExportFilename")), QStringLiteral("earlier.txt"));

        // An empty catalogue, Yes: nothing to write, so the file stays as it was.
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        const auto closed = typeNameAndPressEnter<frmExport>(home, path);
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(!*closed);
        QCOMPARE(home.prompts().last().text, QStringLiteral("0 books exported."));
        QCOMPARE(readBytes(path), QByteArray("keep me"));
    }

    void exportFailuresAreTold() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString locked = readOnlyTarget(home);
        if (!locked.isEmpty()) {
            typeNameAndPressEnter<frmExport>(home, locked);
            home.prompts().answer(PromptAnswer::Yes).answerOk();
            ShowExportWindow(nullptr);
            VERIFY_NO_UNEXPECTED_PROMPTS(home);
            QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
            QCOMPARE(
                home.prompts().last().text,
                QStringLiteral("Cannot write to file.  Make sure it is not opened by another application."));
        }
        // A folder cannot be written as a file either, for another reason.
        typeNameAndPressEnter<frmExport>(home, home.path());
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QVERIFY2(home.prompts().last().text.startsWith(
                     QStringLiteral("The export stopped after 0 books.\n\nCannot write to '") +
                     QDir::toNativeSeparators(home.path())),
                 qPrintable(home.prompts().last().text));
    }

    void browseOffersTheCurrentName() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        home.onNextModal([](QDialog& dialog) {
            auto& window = dynamic_cast<frmImport&>(dialog);
            window.txtFilename->setText(QStringLiteral("/tmp/first.txt"));
            window.cmdBrowse->click();
            const QString chosen = window.txtFilename->text();
            window.cmdBrowse->click(); // cancelled: the name stays
            return chosen == QStringLiteral("/tmp/chosen.txt") && window.txtFilename->text() == chosen ? 1
                                                                                                       : -1;
        });
        home.prompts().file(QStringLiteral("/tmp/chosen.txt")).file(QString());
        ShowImportWindow(nullptr, {});
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().records().at(0).kind, ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(home.prompts().records().at(0).text, QStringLiteral("/tmp/first.txt"));
        QCOMPARE(home.prompts().records().at(1).text, QStringLiteral("/tmp/chosen.txt"));
    }

    void importWindowReadsTheFileAndReloadsTheList() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString path = home.file(QStringLiteral("in.txt"));
        ExchangeBook book;
        book.title = QStringLiteral("Imported Through The Window");
        QStringList lines = {BuildExportLine(book), QStringList(17, QStringLiteral("\"x\"")).join(u',')};
        writeBytes(path, exchangeFile(lines));
        int reloads = 0;
        const auto closed = typeNameAndPressEnter<frmImport>(home, path);
        home.prompts().answerOk();
        ShowImportWindow(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(!*closed);
        QCOMPARE(reloads, 1);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Import complete"));
        QCOMPARE(
            home.prompts().last().text,
            QStringLiteral(
                "1 books imported.\n\nLine 3 was skipped because it does not hold the 18 fields of a book."));
        QCOMPARE(GetSetting(QStringLiteral("ImportFilename")), path);
        QCOMPARE(number(QStringLiteral("SELECT COUNT(*) FROM [Book] WHERE [Title] = ?"), {book.title}), 1);
    }

    void importWindowRefusesWhatItCannotRead() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        const QString missing = home.file(QStringLiteral("missing.txt"));
        const auto stayedForMissing = typeNameAndPressEnter<frmImport>(home, missing);
        home.prompts().answerOk();
        int reloads = 0;
        ShowImportWindow(nullptr, [&reloads] { ++reloads; });
        QVERIFY(*stayedForMissing);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Tomekeep"));
        QCOMPARE(home.prompts().last().text, u'\'' + missing + QStringLiteral("' does not exist."));

        const QString wrong = home.file(QStringLiteral("wrong.txt"));
        writeBytes(wrong, "\"BookId\",\"Title\"\r\n");
        const auto stayedForWrong = typeNameAndPressEnter<frmImport>(home, wrong);
        home.prompts().answerOk();
        ShowImportWindow(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(*stayedForWrong);
        QCOMPARE(reloads, 0);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        QCOMPARE(home.prompts().last().text,
                 QStringLiteral("This file is not in the correct format.  To see a valid file "
                                "layout,\nexamine the file created by the Export Books option."));
    }

    void aFailedImportSaysWhereItStopped() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        QVERIFY(gConn.execute(QStringLiteral(
            "CREATE TRIGGER [refuse] BEFORE INSERT ON [Book] "
            "WHEN NEW.[Title] = 'Refused book title' BEGIN SELECT RAISE(ABORT, 'no room'); END")));
        ExchangeBook kept;
        kept.title = QStringLiteral("Kept book title");
        ExchangeBook refused;
        refused.title = QStringLiteral("Refused book title");
        const QString path = home.file(QStringLiteral("in.txt"));
        writeBytes(path, exchangeFile({BuildExportLine(kept), BuildExportLine(refused)}));
        int reloads = 0;
        typeNameAndPressEnter<frmImport>(home, path);
        home.prompts().answerOk();
        ShowImportWindow(nullptr, [&reloads] { ++reloads; });
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(reloads, 1);
        QCOMPARE(home.prompts().last().title, QStringLiteral("Error"));
        const QString text = home.prompts().last().text;
        QVERIFY2(text.startsWith(QStringLiteral("The import stopped at line 3.\n\nError ")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("no room")) &&
                     text.endsWith(QStringLiteral("\n\n1 books imported.")),
                 qPrintable(text));
    }
};

TOMEKEEP_TEST(ExchangeWindowsTest);
#include "tst_exchangewindows.moc"
