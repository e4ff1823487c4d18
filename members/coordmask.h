#pragma once

#include <QString>

// The loft coordinate boxes: mask "A999'99:99.99" (hemisphere, degrees, minutes, seconds and
// hundredths), 13 characters with blanks in empty places.
namespace CoordMask {

inline const QString InputMask = QStringLiteral(">A999'99:99.99;_");
inline const QString Blank = QStringLiteral("    '  :  .  ");

// The message that refuses leaving the other box, or empty when the text passes. `longitude`
// tells which coordinate `text` is. Blank degrees skip the test; minutes or seconds of 60 or more,
// or not a number, refuse it. Degrees are not range-tested.
QString exitCheck(const QString &text, bool longitude);

} // namespace CoordMask
