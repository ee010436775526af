#include "exchange/ExchangeReader.h"

#include <QIODevice>

namespace {

constexpr qint64 kCheckChunk = 1 << 20;
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
    QByteArray bytes = m_device.readLine();
    if (bytes.isEmpty()) {
        m_failed = true;
        return false;
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

QString ExchangeReader::errorString() const {
    return m_device.errorString();
}
