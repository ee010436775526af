#include "reports/SpoolScramble.h"

#include <QString>

namespace {

constexpr int kCr = 13;
constexpr int kLf = 10;
constexpr int kAlphabetSize = 256 - 2;

// Position of a byte among the 254 bytes that are not line ends, and back.
int alphabetIndex(int byte) {
    return byte - (byte > kLf ? 1 : 0) - (byte > kCr ? 1 : 0);
}

int alphabetByte(int index) {
    const int first = index >= kLf ? index + 1 : index;
    return first >= kCr ? first + 1 : first;
}

int shifted(char byte, int shift) {
    const int index = alphabetIndex(static_cast<unsigned char>(byte));
    const int moved = ((index + shift) % kAlphabetSize + kAlphabetSize) % kAlphabetSize;
    return alphabetByte(moved);
}

} // namespace

ScrambleKey::ScrambleKey(const QString& password)
    : m_key(password.toUpper().toUtf8()) {}

void ScrambleKey::startAt(qint64 position) {
    if (position <= 1 || m_key.isEmpty()) {
        m_keyIndex = 0;
        m_counter = 0;
        return;
    }
    const qint64 done = position - 1;
    m_keyIndex = static_cast<int>((done - 1) % m_key.size()) + 1;
    m_counter = static_cast<int>((done - 1) % kCycle) + 1;
}

int ScrambleKey::nextShift() {
    m_keyIndex = m_keyIndex % m_key.size() + 1;
    m_counter = m_counter % kCycle + 1;
    return static_cast<unsigned char>(m_key[m_keyIndex - 1]) + m_counter;
}

char ScrambleByte(char byte, int shift) {
    return static_cast<char>(shifted(byte, shift));
}

char UnscrambleByte(char byte, int shift) {
    return static_cast<char>(shifted(byte, -shift));
}

QByteArray ScrambleLine(const QByteArray& line, ScrambleKey& key) {
    if (key.isEmpty())
        return line;
    QByteArray scrambled(line.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < line.size(); ++i)
        scrambled[i] = ScrambleByte(line[i], key.nextShift());
    key.nextShift(); // CR
    key.nextShift(); // LF
    return scrambled;
}
