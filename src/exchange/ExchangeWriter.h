#pragma once

#include "exchange/TextEncoding.h"

#include <QStringView>

class QIODevice;

// Writes an exchange file line by line, each line ended with CR LF. The file is Windows-1252,
// which older installations read, as long as every character fits that code page; at the first
// that does not, what is written so far is rewritten in UTF-8 and the rest follows in UTF-8, so
// nothing is lost. A Windows-1252 file whose bytes would also read as UTF-8 (and so be misread)
// is rewritten in UTF-8 when it is finished.
class ExchangeWriter {
public:
    // The device must be open for reading and writing, empty, and able to seek.
    explicit ExchangeWriter(QIODevice& device);

    bool writeLine(QStringView line);
    // Settles the encoding; false when the device failed.
    bool finish();
    TextEncoding encoding() const { return m_encoding; }

private:
    bool rewriteAsUtf8();

    QIODevice& m_device;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    // The Windows-1252 bytes written so far, checked as UTF-8 would read them.
    Utf8Validator m_readAsUtf8;
    bool m_beyondAscii = false;
    QByteArray m_line;
};
