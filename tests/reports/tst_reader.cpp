#include "reports/SpoolFixture.h"
#include "reports/SpoolReader.h"
#include "support/TestMain.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The texts of the "/TEXT" commands from the reader's position to the end of the page.
QStringList pageTexts(SpoolFileReader& reader) {
    QStringList texts;
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::NewPage || command.op == SpoolOp::EndOfReport)
            break;
        if (command.op == SpoolOp::Text)
            texts.append(command.text(0));
    }
    return texts;
}

QStringList expectedTexts(const SpoolFixture& spool, int page, int rows) {
    QStringList texts{QStringLiteral("Page ") + QString::number(page)};
    for (int row = 1; row <= rows; ++row)
        texts.append(spool.rowText(page, row));
    return texts;
}

QStringList textsOfPage(const QString& path, const ScrambleKey& key, qint64 offset) {
    SpoolFileReader reader(path, key);
    if (!reader.open() || !reader.seekTo(offset))
        return {QStringLiteral("<unreadable>")};
    return pageTexts(reader);
}

// A well-formed body of three pages, then whatever ending the test gives it.
SpoolFixture threePageBody() {
    SpoolFixture spool;
    spool.header(QStringLiteral("Books Lent Out"));
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            spool.newPage();
        spool.text(QStringLiteral("a/b ") + QString::number(page), 1);
    }
    return spool;
}

class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace

class SpoolReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    void trailerGivesThePositionOfEveryPage() {
        SpoolFixture spool;
        spool.report(5, 4);
        const QString path = m_dir.filePath(QStringLiteral("five.tmp"));
        QVERIFY(spool.save(path));

        const auto offsets = ReadPageTrailer(path);
        QVERIFY(offsets);
        QCOMPARE(*offsets, spool.offsets());
        QCOMPARE(offsets->first(), qint64(1));
        for (qsizetype page = 1; page < offsets->size(); ++page) {
            const QByteArray before = spool.bytes().left(offsets->at(page) - 1);
            const QByteArray pageBreak = "/NEWPAGE\r\n" + QByteArray::number(page + 1) + "\r\n";
            QVERIFY(before.endsWith(pageBreak));
        }
        QVERIFY(!IsScrambledSpool(path));
    }

    void readsAnyPageFromItsPosition() {
        SpoolFixture spool;
        spool.report(4, 6);
        const QString path = m_dir.filePath(QStringLiteral("four.tmp"));
        QVERIFY(spool.save(path));
        const QList<qint64> offsets = *ReadPageTrailer(path);

        QCOMPARE(textsOfPage(path, ScrambleKey(), offsets.at(2)), expectedTexts(spool, 3, 6));
        QCOMPARE(textsOfPage(path, ScrambleKey(), offsets.at(3)), expectedTexts(spool, 4, 6));
        // Page 1 starts at the first byte: the header commands are read past, not shown.
        QCOMPARE(textsOfPage(path, ScrambleKey(), 1), expectedTexts(spool, 1, 6));
    }

    void headerFieldsAreRead() {
        SpoolFixture spool;
        spool.header(QStringLiteral("Inventory by Location"), 2, 2);
        spool.end();
        const QString path = m_dir.filePath(QStringLiteral("header.tmp"));
        QVERIFY(spool.save(path));

        SpoolFileReader reader(path);
        QVERIFY(reader.open());
        const SpoolHeader header = ReadSpoolHeader(reader);
        QCOMPARE(header.version, 1);
        QCOMPARE(header.reportName, QStringLiteral("Inventory by Location"));
        QCOMPARE(header.createdBy, QStringLiteral("ZKN"));
        QCOMPARE(header.createDate, QStringLiteral("12/24/2025"));
        QCOMPARE(header.createTime, QStringLiteral("10:00:00"));
        QCOMPARE(header.note, QString());
        QCOMPARE(header.orientation, 2);
        QCOMPARE(header.paperSize, 2);
        QCOMPARE(ReadSpoolCommand(reader).op, SpoolOp::EndOfReport);
    }

    void scrambledPagesReadBackFromTheirOwnPosition_data() {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("typed");
        QTest::newRow("same case") << "Secret"
                                   << "Secret";
        QTest::newRow("typed in lower case") << "Secret"
                                             << "secret";
        QTest::newRow("one-letter key") << "K"
                                        << "k";
    }
    void scrambledPagesReadBackFromTheirOwnPosition() {
        QFETCH(QString, written);
        QFETCH(QString, typed);
        SpoolFixture spool(written);
        spool.report(5, 7, QStringLiteral("Book Cost Report"));
        const QString path = m_dir.filePath(QStringLiteral("scrambled.tmp"));
        QVERIFY(spool.save(path));

        QVERIFY(IsScrambledSpool(path));
        const auto offsets = ReadPageTrailer(path);
        QVERIFY(offsets);
        QCOMPARE(*offsets, spool.offsets());
        const ScrambleKey key(typed);
        QCOMPARE(textsOfPage(path, key, offsets->at(2)), expectedTexts(spool, 3, 7));
        QCOMPARE(textsOfPage(path, key, offsets->at(4)), expectedTexts(spool, 5, 7));

        SpoolFileReader reader(path, key);
        QVERIFY(reader.open());
        QCOMPARE(ReadSpoolHeader(reader).reportName, QStringLiteral("Book Cost Report"));
        QCOMPARE(pageTexts(reader), expectedTexts(spool, 1, 7));
        SpoolFileReader scan(path, key);
        QCOMPARE(ScanPageOffsets(scan), spool.offsets());
    }

    void wrongPasswordGivesUnreadableTextWithoutFailing() {
        SpoolFixture spool(QStringLiteral("Secret"));
        spool.report(3, 5);
        const QString path = m_dir.filePath(QStringLiteral("wrong.tmp"));
        QVERIFY(spool.save(path));

        for (const QString& password : {QStringLiteral("Wrong"), QString()}) {
            SpoolFileReader reader(path, ScrambleKey(password));
            QVERIFY(reader.open());
            const SpoolHeader header = ReadSpoolHeader(reader);
            QVERIFY(header.reportName.isEmpty());
            QVERIFY(reader.atEnd()); // nothing was recognised, the whole file was read past
            QCOMPARE(textsOfPage(path, ScrambleKey(password), spool.offsets().at(1)), QStringList());
        }
    }

    void damagedTrailerFallsBackToReadingTheBody_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("no trailer") << 0;
        QTest::newRow("more pages than positions") << 1;
        QTest::newRow("position past the end") << 2;
        QTest::newRow("position not a number") << 3;
        QTest::newRow("page count not a number") << 4;
        QTest::newRow("no end marker either") << 5;
        QTest::newRow("page count of zero") << 6;
    }
    void damagedTrailerFallsBackToReadingTheBody() {
        QFETCH(int, damage);
        SpoolFixture spool = threePageBody();
        const QList<qint64> good = spool.offsets();
        switch (damage) {
        case 0:
            spool.endWithoutTrailer();
            break;
        case 1:
            spool.end(2'000'000'000);
            break;
        case 2:
            spool.endWithoutTrailer();
            spool.trailer(3, {1, good.at(1), 99'999'999});
            break;
        case 3:
            spool.endWithoutTrailer();
            spool.trailer(3, {1, good.at(1)});
            spool.line(QStringLiteral("x12"));
            break;
        case 4:
            spool.endWithoutTrailer();
            spool.line(QStringLiteral("/PAGEBYTEOFFSETS"));
            spool.line(QStringLiteral("three"));
            break;
        case 6:
            spool.endWithoutTrailer();
            spool.trailer(0, {});
            break;
        default:
            break;
        }
        const QString path = m_dir.filePath(QStringLiteral("damaged.tmp"));
        QVERIFY(spool.save(path));

        QVERIFY(!ReadPageTrailer(path));
        SpoolFileReader reader(path);
        QCOMPARE(ScanPageOffsets(reader), good);
        QCOMPARE(textsOfPage(path, ScrambleKey(), good.at(2)), QStringList{QStringLiteral("a/b 3")});
    }

    void commandCutShortReadsEmptyArguments() {
        SpoolFixture spool;
        spool.header(QStringLiteral("Book Listing"));
        spool.lines({QStringLiteral("/BOX"), QStringLiteral("1.5")});
        QByteArray bytes = spool.bytes();
        bytes.chop(2); // and the last line lost its CR LF
        const QString path = m_dir.filePath(QStringLiteral("cut.tmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        SpoolFileReader reader(path);
        QVERIFY(reader.open());
        ReadSpoolHeader(reader);
        const SpoolCommand box = ReadSpoolCommand(reader);
        QCOMPARE(box.op, SpoolOp::Box);
        QCOMPARE(box.args.size(), 5);
        QCOMPARE(box.decimal(0).value_or(0), 1.5);
        QVERIFY(!box.decimal(1));
        QVERIFY(!box.integer(4));
        QVERIFY(reader.atEnd());
        QVERIFY(!ReadPageTrailer(path));
        SpoolFileReader scan(path);
        QCOMPARE(ScanPageOffsets(scan), QList<qint64>{1});
    }

    void linesThatAreNoCommandAreSkipped() {
        SpoolFixture spool;
        spool.lines({QStringLiteral("/UNDERLINE"), QStringLiteral("plain words"), QString(),
                     QStringLiteral("/cr"), QStringLiteral("/TEXT"), QStringLiteral("kept"),
                     QStringLiteral("2")});
        const QString path = m_dir.filePath(QStringLiteral("unknown.tmp"));
        QVERIFY(spool.save(path));

        SpoolFileReader reader(path);
        QVERIFY(reader.open());
        for (int i = 0; i < 4; ++i) {
            const SpoolCommand command = ReadSpoolCommand(reader);
            QCOMPARE(command.op, SpoolOp::Unknown);
            QVERIFY(command.args.isEmpty());
        }
        const SpoolCommand text = ReadSpoolCommand(reader);
        QCOMPARE(text.op, SpoolOp::Text);
        QCOMPARE(text.args, (QStringList{QStringLiteral("kept"), QStringLiteral("2")}));
    }

    void numbersReadInEitherDecimalConvention_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("decimal");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("valid");
        QTest::newRow("whole") << "en_US"
                               << "12" << 12.0 << 12 << true;
        QTest::newRow("point") << "en_US"
                               << "0.1" << 0.1 << 0 << true;
        QTest::newRow("blanks") << "en_US"
                                << " 7 " << 7.0 << 7 << true;
        QTest::newRow("comma locale, comma") << "de_DE"
                                             << "1,5" << 1.5 << 2 << true;
        QTest::newRow("comma locale, point") << "de_DE"
                                             << "7.8" << 7.8 << 8 << true;
        QTest::newRow("half rounds to even") << "en_US"
                                             << "2.5" << 2.5 << 2 << true;
        QTest::newRow("negative") << "en_US"
                                  << "-3" << -3.0 << -3 << true;
        QTest::newRow("letters") << "en_US"
                                 << "abc" << 0.0 << 0 << false;
        QTest::newRow("empty") << "en_US"
                               << "" << 0.0 << 0 << false;
        QTest::newRow("infinite") << "en_US"
                                  << "inf" << 0.0 << 0 << false;
        QTest::newRow("not a number") << "en_US"
                                      << "nan" << 0.0 << 0 << false;
        QTest::newRow("beyond double") << "en_US"
                                       << "1e400" << 0.0 << 0 << false;
    }
    void numbersReadInEitherDecimalConvention() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, decimal);
        QFETCH(int, integer);
        QFETCH(bool, valid);
        const LocaleGuard guard{QLocale(locale)};
        QCOMPARE(SpoolDecimal(text).has_value(), valid);
        QCOMPARE(SpoolInteger(text).has_value(), valid);
        if (valid) {
            QCOMPARE(*SpoolDecimal(text), decimal);
            QCOMPARE(*SpoolInteger(text), integer);
        }
    }

    void integersBeyondThirtyTwoBitsAreRejected() {
        QVERIFY(!SpoolInteger(u"3000000000"));
        QCOMPARE(SpoolInteger(u"2147483647").value_or(0), 2147483647);
        QCOMPARE(SpoolDecimal(u"3000000000").value_or(0), 3e9);
    }

    void textIsUtf8OrWindows1252() {
        QCOMPARE(DecodeSpoolText("Caf\xc3\xa9"), QStringLiteral("Café"));
        QCOMPARE(DecodeSpoolText("Caf\xe9 \x80"), QStringLiteral("Café €"));
    }

private:
    QTemporaryDir m_dir;
};

TOMEKEEP_TEST(SpoolReaderTest);
#include "tst_reader.moc"
