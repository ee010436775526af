#include "ExchangeTestSupport.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "exchange/ExchangeWindows.h"
#include "support/Parts.h"

using namespace exchangetest;

namespace {

// Queues the user's actions in the next export or import window: the file name typed, then
// Enter (which must run the window's default button). Answers with the window's caption, help
// line and the name it offered, then "open" or "closed" after Enter.
template <typename Window>
std::shared_ptr<QStringList> typeNameAndPressEnter(TestHome& home, const QString& name) {
    auto seen = std::make_shared<QStringList>();
    home.onNextModal([name, seen](QDialog& dialog) {
        auto& window = dynamic_cast<Window&>(dialog);
        *seen << window.windowTitle() << window.lblHelp->text() << window.txtFilename->text();
        window.txtFilename->setText(name);
        QTest::keyClick(window.txtFilename, Qt::Key_Return);
        *seen << (window.isVisible() ? u"open"_s : u"closed"_s);
        return window.result();
    });
    return seen;
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
    // An existing file kept on No and replaced on Yes, the name remembered only once written, a file
    // or a folder that cannot be written told, and an empty catalogue that writes nothing.
    void exportWindowWritesTheFileAndSaysHowManyBooks() {
        FRESH_HOME(home);
        const QString path = home.file(u"out.txt"_s);
        WriteFile(path, "keep me");
        const QString locked = readOnlyTarget(home);
        // A statement run first, the name typed and whether Overwrite is answered Yes; then the name
        // the window offered, the window after Enter, the lines in the file and the last prompt.
        const std::tuple<const char*, const char*, QString, bool, QString> steps[] = {
            {"existing file, No", "", path, false,
             QString(DefaultExchangeFile() + u"|open|0|Overwrite Warning: '" + path +
                     u"' already exists. Overwrite?")},
            {"existing file, Yes", "", path, true,
             QString(DefaultExchangeFile() + u"|closed|2|Export complete: 1 books exported.")},
            {"read-only file", "", locked, true,
             QString(path + u"|closed|2|Error: Cannot write to file.  Make sure it is not opened by another "
                            u"application.")},
            {"a folder", "", home.path(), true,
             QString((locked.isEmpty() ? path : locked) +
                     u"|closed|2|Error: The export stopped after 0 books.\n\nCannot write to '" +
                     QDir::toNativeSeparators(home.path()) + u"': Filename refers to a directory.")},
            {"no books", "DELETE FROM [Book]", path, true,
             QString(home.path() + u"|closed|2|Export complete: 0 books exported.")}};
        std::shared_ptr<QStringList> first;
        for (const auto& [name, sql, typed, yes, expected] : steps) {
            if (typed.isEmpty()) // no file refuses the administrator here
                continue;
            if (*sql)
                QVERIFY(gConn.execute(QString::fromLatin1(sql)));
            const auto seen = typeNameAndPressEnter<frmExport>(home, typed);
            for (const PromptAnswer answer :
                 yes ? QList{PromptAnswer::Yes, PromptAnswer::Ok} : QList{PromptAnswer::No})
                home.prompts().answer(answer);
            ShowExportWindow(nullptr);
            first = first ? first : seen;
            const auto stateOf = [&] {
                return QStringList{seen->value(2), seen->value(3),
                                   QString::number(readBytes(path).count('\n')), home.prompts().lastShown()}
                    .join(u'|');
            };
            CHECK_STEP(name, expected);
        }
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(home.prompts().records().at(0).buttons, PromptButtons::YesNoCancel);
        QCOMPARE(first->mid(0, 2), Parts("Export Books|Export your books to a comma delimited file."));
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
        QVERIFY(gConn.execute(
            u"CREATE TRIGGER [refuse] BEFORE INSERT ON [Book] "
            "WHEN NEW.[Title] = 'Refused book title' BEGIN SELECT RAISE(ABORT, 'no room'); END"_s));
        const auto line = [](const QString& title) {
            ExchangeBook book;
            book.title = title;
            return BuildExportLine(book);
        };
        const QString path = home.file(u"in.txt"_s);
        const QString missing = home.file(u"missing.txt"_s);
        // The name typed and the file's bytes (none: no file); then the window after Enter, the
        // reloads so far and the last prompt.
        const std::tuple<const char*, QString, QByteArray, QString> steps[] = {
            {"missing file", missing, {}, QString(u"open|0|Tomekeep: '" + missing + u"' does not exist.")},
            {"another layout", path, "\"BookId\",\"Title\"\r\n",
             u"open|0|Error: This file is not in the correct format.  To see a valid file layout,\nexamine "
             "the file created by the Export Books option."_s},
            {"a book and a short line", path,
             exchangeFile({line(u"Imported Through The Window"_s), QStringList(17, u"\"x\""_s).join(u',')}),
             u"closed|1|Import complete: 1 books imported.\n\nLine 3 was skipped because it does not hold "
             "the 18 fields of a book."_s},
            {"a refused book", path,
             exchangeFile({line(u"Kept book title"_s), line(u"Refused book title"_s)}),
             u"closed|2|Error: The import stopped at line 3.\n\nError 1811 (no room)\n\n1 books imported."_s}};
        int reloads = 0;
        for (const auto& [name, typed, bytes, expected] : steps) {
            if (!bytes.isEmpty())
                WriteFile(typed, bytes);
            const auto seen = typeNameAndPressEnter<frmImport>(home, typed);
            home.prompts().answerOk();
            ShowImportWindow(nullptr, [&reloads] { ++reloads; });
            const auto stateOf = [&]() -> QString {
                return seen->value(3) + u'|' + QString::number(reloads) + u'|' + home.prompts().lastShown();
            };
            CHECK_STEP(name, expected);
        }
        VERIFY_NO_UNEXPECTED_PROMPTS(home);
        QCOMPARE(GetSetting(u"ImportFilename"_s), path);
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [Book] WHERE [Title] LIKE 'Imported%'"_s), 1);
    }
};

TOMEKEEP_TEST(ExchangeWindowsTest);
#include "tst_exchangewindows.moc"
