#include "ExchangeTestSupport.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "exchange/ExchangeWindows.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

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
    const QString path = home.file(u"locked.txt"_s);
    WriteFile(path, "locked");
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return path;
    // Permissions do not stop the administrator; a kernel file still refuses to be written.
    return QFile::exists(u"/sys/kernel/notes"_s) ? u"/sys/kernel/notes"_s : QString();
}

} // namespace

class ExchangeWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The window's texts, an existing file kept on No and replaced on Yes, the name remembered
    // only once written, and an empty catalogue that writes nothing.
    void exportWindowWritesTheFileAndSaysHowManyBooks() {
        FRESH_HOME(home);
        const QString path = home.file(u"out.txt"_s);
        WriteFile(path, "keep me");
        const auto stillOpen = typeNameAndPressEnter<frmExport>(home, path);
        home.prompts().answer(PromptAnswer::No);
        ShowExportWindow(nullptr);
        QCOMPARE(home.prompts().lastShown(),
                 u"Overwrite Warning: '"_s + path + u"' already exists. Overwrite?"_s);
        QCOMPARE(home.prompts().last().buttons, PromptButtons::YesNoCancel);
        // Nothing written and no name remembered while the window stays open.
        QVERIFY(*stillOpen && readBytes(path) == "keep me" && GetSetting(u"ExportFilename"_s).isEmpty());

        home.onNextModal([&path](QDialog& dialog) {
            auto& window = dynamic_cast<frmExport&>(dialog);
            if (window.windowTitle() != u"Export Books"_s ||
                window.lblHelp->text() != u"Export your books to a comma delimited file."_s ||
                window.txtFilename->text() != DefaultExchangeFile())
                return -1;
            window.txtFilename->setText(path);
            window.cmdExport->click();
            return window.result();
        });
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        ShowExportWindow(nullptr);
        QCOMPARE(home.prompts().lastShown(), u"Export complete: 1 books exported."_s);
        QCOMPARE(GetSetting(u"ExportFilename"_s), path);
        const QByteArray written = readBytes(path);
        QVERIFY(written.startsWith(QByteArray(ExchangeHeader().toUtf8() + "\r\n1,\"Sample Book #1\"")));

        QVERIFY(gConn.execute(u"DELETE FROM [Book]"_s));
        const auto closed = typeNameAndPressEnter<frmExport>(home, path);
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QVERIFY(!*closed);
        QCOMPARE(home.prompts().last().text, u"0 books exported."_s);
        QCOMPARE(readBytes(path), written);
    }

    void exportFailuresAreTold() {
        FRESH_HOME(home);
        const QString locked = readOnlyTarget(home);
        if (!locked.isEmpty()) {
            typeNameAndPressEnter<frmExport>(home, locked);
            home.prompts().answer(PromptAnswer::Yes).answerOk();
            ShowExportWindow(nullptr);
            VERIFY_NO_UNEXPECTED_PROMPTS(home);
            QCOMPARE(home.prompts().lastShown(),
                     u"Error: Cannot write to file.  Make sure it is not opened by another application."_s);
        }
        // A folder cannot be written as a file either, for another reason.
        typeNameAndPressEnter<frmExport>(home, home.path());
        home.prompts().answer(PromptAnswer::Yes).answerOk();
        ShowExportWindow(nullptr);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        const QString told = home.prompts().lastShown();
        QVERIFY2(told.startsWith(u"Error: The export stopped after 0 books.\n\nCannot write to '"_s +
                                 QDir::toNativeSeparators(home.path())),
                 qPrintable(told));
    }

    void browseOffersTheCurrentName() {
        FRESH_HOME(home);
        home.onNextModal([](QDialog& dialog) {
            auto& window = dynamic_cast<frmImport&>(dialog);
            window.txtFilename->setText(u"/tmp/first.txt"_s);
            window.cmdBrowse->click();
            const QString chosen = window.txtFilename->text();
            window.cmdBrowse->click(); // cancelled: the name stays
            return chosen == u"/tmp/chosen.txt"_s && window.txtFilename->text() == chosen ? 1 : -1;
        });
        home.prompts().file(u"/tmp/chosen.txt"_s).file(QString());
        ShowImportWindow(nullptr, {});
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().records().at(0).kind, ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(home.prompts().texts(), QStringList({"/tmp/first.txt", "/tmp/chosen.txt"}));
    }

    // A missing file and one of another layout keep the window open; a good file is read with its
    // refused line told; a failing book is told with where the import stopped. Each import reloads.
    void importWindowReadsTheFileAndReloadsTheList() {
        FRESH_HOME(home);
        int reloads = 0;
        const auto import = [&](const QString& path) {
            const auto stillOpen = typeNameAndPressEnter<frmImport>(home, path);
            home.prompts().answerOk();
            ShowImportWindow(nullptr, [&reloads] { ++reloads; });
            return *stillOpen;
        };
        const QString missing = home.file(u"missing.txt"_s);
        QVERIFY(import(missing));
        QCOMPARE(home.prompts().lastShown(), u"Tomekeep: '"_s + missing + u"' does not exist."_s);
        const QString path = home.file(u"in.txt"_s);
        WriteFile(path, "\"BookId\",\"Title\"\r\n");
        QVERIFY(import(path));
        QCOMPARE(home.prompts().lastShown(),
                 u"Error: This file is not in the correct format.  To see a valid file "
                 "layout,\nexamine the file created by the Export Books option."_s);
        QCOMPARE(reloads, 0);

        ExchangeBook book;
        book.title = u"Imported Through The Window"_s;
        WriteFile(path, exchangeFile({BuildExportLine(book), QStringList(17, u"\"x\""_s).join(u',')}));
        // A braced list is read in order: the window open after the import, then the reloads.
        QCOMPARE(QList<int>({import(path), reloads}), QList<int>({false, 1}));
        QCOMPARE(home.prompts().lastShown(),
                 u"Import complete: 1 books imported.\n\n"
                 "Line 3 was skipped because it does not hold the 18 fields of a book."_s);
        QCOMPARE(GetSetting(u"ImportFilename"_s), path);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] = ?"_s, {book.title}), 1);

        QVERIFY(gConn.execute(
            u"CREATE TRIGGER [refuse] BEFORE INSERT ON [Book] "
            "WHEN NEW.[Title] = 'Refused book title' BEGIN SELECT RAISE(ABORT, 'no room'); END"_s));
        book.title = u"Kept book title"_s;
        const QString kept = BuildExportLine(book);
        book.title = u"Refused book title"_s;
        WriteFile(path, exchangeFile({kept, BuildExportLine(book)}));
        import(path);
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        const QString text = home.prompts().lastShown();
        QVERIFY2(reloads == 2 && text.startsWith(u"Error: The import stopped at line 3.\n\nError "_s) &&
                     text.contains(u"no room"_s) && text.endsWith(u"\n\n1 books imported."_s),
                 qPrintable(text));
    }
};

TOMEKEEP_TEST(ExchangeWindowsTest);
#include "tst_exchangewindows.moc"
