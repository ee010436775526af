#pragma once

#include "exchange/TextEncoding.h"

#include <QString>

class QIODevice;

// Reads an exchange file line by line. The whole file is checked first: UTF-8 when every byte
// sequence is well-formed UTF-8, otherwise Windows-1252. Lines end in CR LF or in LF alone; a
// UTF-8 byte order mark before the first line is skipped.
class ExchangeReader {
public:
    // The device must be open for reading and able to seek back to its start.
    explicit ExchangeReader(QIODevice& device);

    // A line of more bytes than this is longer than any book can be.
    static constexpr qint64 kLongestLine = 1 << 20;

    // The next line without its line end; false at the end of the file or on a read error.
    // A line longer than kLongestLine is passed over unread and given as an empty text, with
    // lastLineTooLong() set.
    bool readLine(QString& line);
    bool lastLineTooLong() const { return m_tooLong; }
    TextEncoding encoding() const { return m_encoding; }
    // The number of the line read last, 1 for the first.
    int lineNumber() const { return m_lineNumber; }
    // True when reading stopped on an error of the device rather than at the end.
    bool failed() const { return m_failed; }
    QString errorString() const;

private:
    TextEncoding detectEncoding();
    void skipRestOfLine();

    QIODevice& m_device;
    TextEncoding m_encoding = TextEncoding::Utf8;
    int m_lineNumber = 0;
    bool m_failed = false;
    bool m_tooLong = false;
};
