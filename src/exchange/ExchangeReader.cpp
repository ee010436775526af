#include "exchange/ExchangeReader.h"

#include <QIODevice>

namespace {

constexpr qint64 kCheckChunk = 1 << 20;
constexpr qint64 kSkipChunk = 64 * 1024;
constexpr QByteArrayView kUtf8ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

ExchangeReader::ExchangeReader(QIODevice& device)
    : m_device(device) {
    m_encoding = detectEncoding();
}

TextEncoding ExchangeReader::detectEncoding() {
    Utf8Validator validator;
    while (validator.stillValid() && !m_device.atEnd()) {
        const QByteArray chunk = m_device.read(kCheckChunk);
        if (chunk.isEmpty())
            break;
        validator.feed(chunk);
    }
    if (!m_device.seek(0))
        m_failed = true;
    return validator.finish() ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool ExchangeReader::readLine(QString& line) {
    if (m_failed || m_device.atEnd())
        return false;
    // Asks for one byte more than a line may hold (the size counts a terminating zero).
    QByteArray bytes = m_device.readLine(kLongestLine + 2);
    if (bytes.isEmpty()) {
        m_failed = true;
        return false;
    }
    m_tooLong = bytes.size() > kLongestLine && !bytes.endsWith('\n');
    if (m_tooLong) {
        skipRestOfLine();
        ++m_lineNumber;
        line.clear();
        return true;
    }
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    QByteArrayView view(bytes);
    if (m_lineNumber == 0 && m_encoding == TextEncoding::Utf8 && view.startsWith(kUtf8ByteOrderMark))
        view = view.sliced(kUtf8ByteOrderMark.size());
    ++m_lineNumber;
    line = DecodeText(view, m_encoding);
    return true;
}

void ExchangeReader::skipRestOfLine() {
    for (;;) {
        const QByteArray piece = m_device.readLine(kSkipChunk);
        if (piece.isEmpty() || piece.endsWith('\n'))
            return;
    }
}

QString ExchangeReader::errorString() const {
    return m_device.errorString();
}
