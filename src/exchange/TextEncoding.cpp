#include "exchange/TextEncoding.h"

#include <algorithm>
#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

bool Utf8Validator::startSequence(unsigned char byte) {
    m_low = 0x80;
    m_high = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
        m_pending = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        m_pending = 2;
        if (byte == 0xE0)
            m_low = 0xA0; // no overlong three-byte forms
        else if (byte == 0xED)
            m_high = 0x9F; // no surrogates
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        m_pending = 3;
        if (byte == 0xF0)
            m_low = 0x90;
        else if (byte == 0xF4)
            m_high = 0x8F; // nothing past U+10FFFF
    } else {
        return false;
    }
    return true;
}

void Utf8Validator::feed(QByteArrayView bytes) {
    for (qsizetype i = 0; m_valid && i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (m_pending == 0) {
            if (byte >= 0x80)
                m_valid = startSequence(byte);
            continue;
        }
        if (byte < m_low || byte > m_high) {
            m_valid = false;
            continue;
        }
        --m_pending;
        m_low = 0x80;
        m_high = 0xBF;
    }
}

bool IsValidUtf8(QByteArrayView bytes) {
    Utf8Validator validator;
    validator.feed(bytes);
    return validator.finish();
}

QString DecodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes);
}

bool EncodeWindows1252(QStringView text, QByteArray& bytes) {
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char* out = bytes.data() + start;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            *out++ = static_cast<char>(unit);
            continue;
        }
        const auto* high = std::find(kHighControls.begin(), kHighControls.end(), unit);
        // The five unassigned bytes decode to themselves, so U+0081 and its like are not text
        // the code page holds.
        if (high == kHighControls.end() || *high < 0x100) {
            bytes.resize(start);
            return false;
        }
        *out++ = static_cast<char>(0x80 + (high - kHighControls.begin()));
    }
    return true;
}
