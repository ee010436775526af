#include "exchange/ExchangeWriter.h"

#include <QIODevice>
#include <algorithm>
#include <optional>

namespace {

constexpr QByteArrayView kLineEnd = "\r\n";
constexpr qint64 kRewriteChunk = 1 << 20;

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    return device.write(bytes) == bytes.size();
}

// The Windows-1252 bytes from `from` to `to` in UTF-8; nothing when the device cannot give them.
std::optional<QByteArray> readAsUtf8(QIODevice& device, qint64 from, qint64 to) {
    if (!device.seek(from))
        return std::nullopt;
    const QByteArray bytes = device.read(to - from);
    if (bytes.size() != to - from)
        return std::nullopt;
    return DecodeWindows1252(bytes).toUtf8();
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
    const qint64 written = m_device.size();
    qint64 rewritten = 0;
    for (qint64 at = 0; at < written; at += kRewriteChunk) {
        const auto piece = readAsUtf8(m_device, at, std::min(written, at + kRewriteChunk));
        if (!piece)
            return false;
        rewritten += piece->size();
    }
    // Every Windows-1252 byte becomes at least one UTF-8 byte: rewritten from the end backwards,
    // a piece never lands on bytes not yet read, and only one piece is held at a time.
    qint64 readTo = written;
    qint64 writeTo = rewritten;
    while (readTo > 0) {
        const qint64 from = std::max<qint64>(0, readTo - kRewriteChunk);
        const auto piece = readAsUtf8(m_device, from, readTo);
        if (!piece)
            return false;
        writeTo -= piece->size();
        if (!m_device.seek(writeTo) || !writeAll(m_device, *piece))
            return false;
        readTo = from;
    }
    return m_device.seek(rewritten);
}
