#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

class QIODevice;

// Reads the delimited text other programs export, record by record, as RFC 4180 describes it:
// fields in double quotes may hold the separator, line breaks and doubled double quotes. The
// separator is a comma, or a tab when the first line holds a tab and no comma outside quotes.
// A UTF-8 or UTF-16 byte order mark decides the encoding; without one the text is UTF-8 when
// the whole file is well-formed UTF-8, otherwise Windows-1252. Only the current record is held,
// so memory stays bounded whatever the file's size.
class CsvReader {
public:
    enum class Problem { None, NotText, UnbalancedQuotes, RecordTooLong, ReadFailed };

    // A record longer than this is not a book: the file is refused rather than held in memory.
    static constexpr qsizetype kLongestRecord = 1 << 20;

    // The device must be open for reading and able to seek back to its start.
    explicit CsvReader(QIODevice& device, qsizetype longestRecord = kLongestRecord);

    // The next record's fields; false at the end of the text or when a problem stops reading.
    // Blank lines are passed over.
    bool readRecord(QStringList& fields);
    // The line on which the record read last begins, 1 for the first line of the file.
    int lineNumber() const { return m_recordLine; }
    QChar separator() const { return m_separator; }
    Problem problem() const { return m_problem; }
    // What stopped the reading, in words for the user; empty when nothing did.
    QString problemText() const;
    // How far into the file reading has come, in bytes.
    qint64 position() const;

private:
    void detectEncoding();
    bool fill();
    std::optional<QChar> nextChar();
    void detectSeparator();
    bool fail(Problem problem, int line);

    QIODevice& m_device;
    qsizetype m_longestRecord;
    std::optional<QStringDecoder> m_decoder; // none for Windows-1252
    QString m_text;
    qsizetype m_at = 0;
    bool m_afterCarriageReturn = false;
    bool m_separatorKnown = false;
    QChar m_separator = u',';
    int m_line = 1;
    int m_recordLine = 0;
    Problem m_problem = Problem::None;
    int m_problemLine = 0;
};
