#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How the bytes of an exchange file are read: files this program writes are UTF-8; files
// written by older Windows installations are in the Windows-1252 code page.
enum class TextEncoding { Utf8, Windows1252 };

// Checks bytes for well-formed UTF-8 piece by piece, so a large file need not be held whole.
// Overlong forms, surrogates, values past U+10FFFF and a sequence cut off at the end are refused.
class Utf8Validator {
public:
    void feed(QByteArrayView bytes);
    // True when everything fed so far is UTF-8 and no sequence is left open.
    bool finish() const { return m_valid && m_pending == 0; }
    bool stillValid() const { return m_valid; }

private:
    bool startSequence(unsigned char byte);

    bool m_valid = true;
    int m_pending = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
};

bool IsValidUtf8(QByteArrayView bytes);
// Every byte is one character; the five bytes the code page leaves unassigned keep their own value.
QString DecodeWindows1252(QByteArrayView bytes);
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);
// Appends the Windows-1252 bytes of the text; false, with nothing appended, when a character
// has no place in that code page.
bool EncodeWindows1252(QStringView text, QByteArray& bytes);
