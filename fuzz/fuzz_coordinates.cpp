// The coordinate parser and the distance built on it, on any text.

#include "races/coordinates.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const Coordinates::Parsed p = Coordinates::parse(text);
    if (p.ok && !std::isfinite(p.degrees))
        std::abort();
    // The same text in every place of a distance, and against a fixed point.
    const QStringList parts = text.split(QLatin1Char('|'));
    const QString a = parts.value(0), b = parts.value(1, a);
    const Coordinates::Distance d = Coordinates::distance(a, b, QStringLiteral("E004'21:30.50"),
                                                          QStringLiteral("N050'51:00.00"));
    if (d.metres < 0)
        std::abort();
    Coordinates::distance(QStringLiteral("E004'21:30.50"), QStringLiteral("N050'51:00.00"), a, b);
    Coordinates::isBlank(text);
    Coordinates::exitCheck(text, true);
    Coordinates::exitCheck(text, false);
    return 0;
}
