#include "exchange/ExchangeWriter.h"

#include <QIODevice>
#include <algorithm>

namespace {

constexpr QByteArrayView kLineEnd = "\r\n";

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    return device.write(bytes) == bytes.size();
}

} // namespace

ExchangeWriter::ExchangeWriter(QIODevice& device)
    : m_device(device) {}

bool ExchangeWriter::writeLine(QStringView line) {
    m_line.clear();
    if (m_encoding == TextEncoding::Windows1252) {
        if (EncodeWindows1252(line, m_line)) {
            m_line += kLineEnd;
            m_readAsUtf8.feed(m_line);
            m_beyondAscii = m_beyondAscii || std::any_of(m_line.cbegin(), m_line.cend(),
                                                         [](char byte) { return byte & 0x80; });
            return writeAll(m_device, m_line);
        }
        if (!rewriteAsUtf8())
            return false;
    }
    m_line = line.toUtf8();
    m_line += kLineEnd;
    return writeAll(m_device, m_line);
}

bool ExchangeWriter::finish() {
    if (m_encoding == TextEncoding::Windows1252 && m_beyondAscii && m_readAsUtf8.finish())
        return rewriteAsUtf8();
    return true;
}

bool ExchangeWriter::rewriteAsUtf8() {
    m_encoding = TextEncoding::Utf8;
    if (!m_device.seek(0))
        return false;
    const QByteArray written = m_device.readAll();
    // Every Windows-1252 byte becomes at least one UTF-8 byte: the new text covers the old.
    return m_device.seek(0) && writeAll(m_device, DecodeWindows1252(written).toUtf8());
}
