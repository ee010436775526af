#pragma once

#include <QByteArray>

// A password-protected report file shifts each byte of its lines by the code of one key byte
// plus a counter that runs 1 to 32. Key index and counter advance once per byte of the file,
// line ends included, so after p bytes the key index is ((p - 1) mod key length) + 1 and the
// counter ((p - 1) mod 32) + 1: a reader can start at any page's offset.
//
// Shifting runs round the 254 byte values that are not line ends (CR and LF), so a scrambled
// line never breaks in two and every shift can be undone. Below the wrap this is plain
// addition: code(c) + code(key byte) + counter.
class ScrambleKey {
public:
    static constexpr int kCycle = 32;

    ScrambleKey() = default;
    // The key bytes are the password in upper case, as UTF-8.
    explicit ScrambleKey(const QString& password);

    bool isEmpty() const { return m_key.isEmpty(); }
    const QByteArray& bytes() const { return m_key; }
    int keyIndex() const { return m_keyIndex; }
    int counter() const { return m_counter; }

    // Puts the counters where they stand before byte `position` (1-based) of the file.
    void startAt(qint64 position);
    // Advances past one byte and answers the shift that byte gets.
    int nextShift();

private:
    QByteArray m_key;
    int m_keyIndex = 0;
    int m_counter = 0;
};

char ScrambleByte(char byte, int shift);
char UnscrambleByte(char byte, int shift);

// A line as a scrambled file holds it; the key's counters then also step past its CR LF.
QByteArray ScrambleLine(const QByteArray& line, ScrambleKey& key);
