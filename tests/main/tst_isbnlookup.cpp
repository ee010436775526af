#include "main/BookTestData.h"
#include "main/CoverView.h"
#include "online/Covers.h"
#include "support/StandInServer.h"

namespace {

// Points look-ups at the test's server while it lives.
struct MetadataUrlGuard {
    explicit MetadataUrlGuard(const QString& url) { qputenv("TOMEKEEP_METADATA_URL", url.toUtf8()); }
    ~MetadataUrlGuard() { qunsetenv("TOMEKEEP_METADATA_URL"); }
};

int storedCoverHeight(int bookId) {
    const auto cover = ReadCover(bookId);
    return cover ? QImage::fromData(*cover).height() : -1;
}

void dropFile(CoverView* view, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Delivered to the view itself: the application passes drops only to the target of a real drag.
    static_cast<QObject*>(view)->event(&drop);
}

} // namespace

class IsbnLookupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookupFillsTheEditor_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("typedTitle");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("cover");
        QTest::addColumn<QString>("told");
        const QString crime = u"Crime and Punishment"_s;
        const QString differ = u"differ from what is filled in (Title)"_s;
        const int none = -1;
        AddRow("new book filled by Enter", "found", "", none, crime, true, "");
        AddRow("typed title kept", "found", "My Crime", int(PromptAnswer::No), "My Crime", true, differ);
        AddRow("typed title replaced", "found", "My Crime", int(PromptAnswer::Yes), crime, true, differ);
        AddRow("nothing filled on cancel", "found", "My Crime", int(PromptAnswer::Cancel), "My Crime", false,
               differ);
        AddRow("not found", "{}", "", int(PromptAnswer::Ok), "New Book", false,
               "No book with the ISBN 9780140449136");
        AddRow("time-out", "silent", "", int(PromptAnswer::Ok), "New Book", false, "did not answer in time");
        AddRow("closed port", "closed", "", int(PromptAnswer::Ok), "New Book", false, "could not be reached");
    }

    void lookupFillsTheEditor() {
        QFETCH(QString, server);
        QFETCH(QString, typedTitle);
        QFETCH(int, answer);
        QFETCH(QString, title);
        QFETCH(bool, cover);
        QFETCH(QString, told);
        FRESH_MAIN_HOME(home);
        StandInServer stand;
        const MetadataUrlGuard guard(stand.play(server));
        const auto window = OpenMainWindow();
        window->SetLookupTimeout(std::chrono::milliseconds(500));
        QTest::mouseClick(window->cmdAddBook, Qt::LeftButton);
        const int bookId = window->txtBookId->text().toInt();
        if (!typedTitle.isEmpty())
            window->txtTitle->setText(typedTitle);
        if (answer >= 0)
            home.prompts().answer(PromptAnswer(answer));
        QTest::keyClicks(window->txtIsbn, u"0-14-044913-2"_s);
        if (typedTitle.isEmpty())
            QTest::keyClick(window->txtIsbn, Qt::Key_Return);
        else
            QTest::mouseClick(window->cmdLookupIsbn, Qt::LeftButton);
        QVERIFY(window->prgLookup->isVisible() && window->cmdCancelLookup->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window->prgLookup->isVisible(), 10000);
        QCOMPARE(window->txtTitle->text(), title);
        QCOMPARE(window->picCover->hasCover(), cover);
        QCOMPARE(home.prompts().count() > 0 ? home.prompts().last().text.contains(told) : told.isEmpty(),
                 true);
        QVERIFY(window->SaveCurrentBook());
        // The typed ISBN is the user's, whatever the server said.
        QCOMPARE(StoredColumns(bookId, {"Title", "Publisher", "ISBN"}),
                 title + (cover ? u"|Penguin Classics|"_s : u"||"_s) + u"9780140449136");
        QCOMPARE(storedCoverHeight(bookId), cover ? kCoverMaxHeight : 0);
    }

    void coverIsSetDroppedAndRemoved() {
        FRESH_MAIN_HOME(home);
        const QString picture = home.file(u"cover.jpg"_s);
        const QString notPicture = home.file(u"notes.txt"_s);
        for (const auto& [path, bytes] :
             {std::pair{picture, TallCoverJpeg()}, std::pair{notPicture, QByteArray("x")}})
            WriteFile(path, bytes);
        const auto window = OpenMainWindow();
        QVERIFY(!window->picCover->hasCover());
        home.prompts().file(picture);
        QTest::mouseClick(window->cmdSetCover, Qt::LeftButton);
        QVERIFY(window->picCover->hasCover() && window->IsDirty());
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(storedCoverHeight(1), kCoverMaxHeight);

        home.prompts().answerOk();
        dropFile(window->picCover, notPicture);
        QCOMPARE(home.prompts().last().text, u"The dropped file is not a picture Tomekeep can read.");
        QTest::mouseClick(window->cmdRemoveCover, Qt::LeftButton);
        QVERIFY(!window->picCover->hasCover());
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(storedCoverHeight(1), 0);

        dropFile(window->picCover, picture);
        QVERIFY(window->SaveCurrentBook());
        QCOMPARE(storedCoverHeight(1), kCoverMaxHeight);
        // Gone with its book.
        QVERIFY(gConn.execute(u"DELETE FROM [Book] WHERE [BookId] = 1"_s));
        QCOMPARE(NumberOf(u"SELECT COUNT(*) FROM [BookCover]"_s), 0);
    }
};

TOMEKEEP_TEST(IsbnLookupTest);
#include "tst_isbnlookup.moc"
