#include "reports/SpoolFixture.h"
#include "reports/SpoolReader.h"
#include "support/TestHome.h"

namespace {

// The "/TEXT" texts from a byte position to the end of that page.
QStringList textsOfPage(const QString& path, const ScrambleKey& key, qint64 offset) {
    SpoolFileReader reader(path, key);
    QStringList texts;
    if (!reader.open() || !reader.seekTo(offset))
        return {u"<unreadable>"_s};
    while (!reader.atEnd()) {
        const SpoolCommand command = ReadSpoolCommand(reader);
        if (command.op == SpoolOp::NewPage || command.op == SpoolOp::EndOfReport)
            break;
        if (command.op == SpoolOp::Text)
            texts.append(command.text(0));
    }
    return texts;
}

} // namespace

class SpoolReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anyPageIsReadFromItsTrailerPosition_data() {
        AddColumns<QString, QString>("written", "typed");
        AddRow("plain", "", "");
        AddRow("scrambled", "Secret", "secret");
        AddRow("one-letter key", "K", "K");
    }
    void anyPageIsReadFromItsTrailerPosition() {
        const auto [written, typed] = FetchColumns<QString, QString>("written", "typed");
        SpoolFixture spool(written);
        spool.report(5, 6);
        const QString path = m_dir.filePath(u"report.tmp"_s);
        WriteFile(path, spool.bytes());

        QCOMPARE(IsScrambledSpool(path), !written.isEmpty());
        const QList<qint64> offsets = ReadPageTrailer(path).value_or(QList<qint64>());
        QCOMPARE(offsets, spool.offsets());
        const ScrambleKey key(typed);
        // Each page straight from its position, unscrambled with counters worked out from it; page 1
        // starts at the first byte, and its header is read past.
        for (const int page : {3, 5, 1}) {
            QStringList expected{u"Page "_s + QString::number(page)};
            for (int row = 1; row <= 6; ++row)
                expected << SpoolFixture::rowText(page, row);
            QCOMPARE(textsOfPage(path, key, offsets.at(page - 1)), expected);
        }
        SpoolFileReader reader(path, key);
        QVERIFY(reader.open());
        QCOMPARE(ReadSpoolHeader(reader).reportName, u"Book Listing"_s);
    }

    void damagedTrailerFallsBackToReadingTheBody_data() {
        QTest::addColumn<QByteArray>("ending"); // what follows the last page
        QTest::newRow("no trailer") << QByteArray("/ENDOFREPORT\r\n");
        QTest::newRow("no end marker either") << QByteArray();
        AddRow("more pages than positions", QByteArray("/ENDOFREPORT\r\n/PAGEBYTEOFFSETS\r\n9\r\n1\r\n"));
        AddRow("position past the end", QByteArray("/ENDOFREPORT\r\n/PAGEBYTEOFFSETS\r\n1\r\n99999\r\n"));
        AddRow("position not a number", QByteArray("/ENDOFREPORT\r\n/PAGEBYTEOFFSETS\r\n1\r\nx1\r\n"));
        QTest::newRow("count not a number") << QByteArray("/ENDOFREPORT\r\n/PAGEBYTEOFFSETS\r\nthree\r\n");
        QTest::newRow("count of zero") << QByteArray("/ENDOFREPORT\r\n/PAGEBYTEOFFSETS\r\n0\r\n");
        QTest::newRow("cut inside a command") << QByteArray("/BOX\r\n1.5");
    }
    void damagedTrailerFallsBackToReadingTheBody() {
        QFETCH(QByteArray, ending);
        SpoolFixture spool;
        spool.header(u"Books Lent Out"_s);
        for (int page = 1; page <= 3; ++page) {
            if (page > 1)
                spool.newPage();
            spool.text(u"a/b "_s + QString::number(page), 1);
        }
        const QString path = m_dir.filePath(u"damaged.tmp"_s);
        WriteFile(path, spool.bytes() + ending);

        QVERIFY(!ReadPageTrailer(path));
        SpoolFileReader reader(path);
        QCOMPARE(ScanPageOffsets(reader), spool.offsets());
        QCOMPARE(textsOfPage(path, ScrambleKey(), spool.offsets().at(2)), QStringList{u"a/b 3"_s});
    }

    void numbersReadInEitherDecimalConvention_data() {
        // decimal: NaN: not a number
        // integer: -1: not a 32-bit whole number
        AddColumns<QString, QString, double, int>("locale", "text", "decimal", "integer");
        const double none = qQNaN();
        AddRow("whole", "en_US", "12", 12.0, 12);
        AddRow("comma locale, comma", "de_DE", "1,5", 1.5, 2);
        AddRow("half rounds to even", "en_US", "2.5", 2.5, 2);
        AddRow("beyond 32 bits", "en_US", "3000000000", 3e9, -1);
        AddRow("letters", "en_US", "abc", none, -1);
        AddRow("infinite", "en_US", "inf", none, -1);
        AddRow("beyond double", "en_US", "1e400", none, -1);
    }
    void numbersReadInEitherDecimalConvention() {
        const auto [locale, text, decimal, integer] =
            FetchColumns<QString, QString, double, int>("locale", "text", "decimal", "integer");
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const std::optional<double> readDecimal = SpoolDecimal(text);
        const std::optional<int> readInteger = SpoolInteger(text);
        QLocale::setDefault(previous);
        QCOMPARE(readDecimal.value_or(qQNaN()), decimal); // NaN compares equal to NaN here
        QCOMPARE(readInteger.value_or(-1), integer);
    }

    void textIsUtf8OrWindows1252() {
        QCOMPARE(DecodeSpoolText("Caf\xc3\xa9") + u'|' + DecodeSpoolText("Caf\xe9 \x80"), u"Café|Café €"_s);
    }

private:
    QTemporaryDir m_dir;
};

TOMEKEEP_TEST(SpoolReaderTest);
#include "tst_reader.moc"
