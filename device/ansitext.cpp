#include "device/ansitext.h"

namespace {
// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the same code points, as the
// platform's own conversion does.
const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QByteArray AnsiText::encode(const QString &text, int *unmapped)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t u = text.at(k).unicode();
        if (QChar::isHighSurrogate(u) && k + 1 < text.size() && text.at(k + 1).isLowSurrogate()) {
            ++k; // one character, one "?"
            out += '?';
            if (unmapped)
                ++*unmapped;
            continue;
        }
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        char b = '?';
        for (int i = 0; i < 32; ++i) {
            if (high[i] == u) {
                b = char(0x80 + i);
                break;
            }
        }
        if (b == '?' && unmapped)
            ++*unmapped;
        out += b;
    }
    return out;
}

QString AnsiText::decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const uchar b = uchar(ch);
        out += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}
