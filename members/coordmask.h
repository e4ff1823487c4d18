#pragma once

#include "store/coordinatemask.h"

#include <QString>

// The loft coordinate boxes: mask "A999'99:99.99" (hemisphere, degrees, minutes, seconds and
// hundredths), 13 characters with blanks in empty places.
namespace CoordMask {

inline const QString InputMask = QStringLiteral(">A999'99:99.99;_");
inline const QString Blank = QStringLiteral("    '  :  .  ");

// The message that refuses leaving the other box, or empty when the text passes.
using CoordinateMask::exitCheck;

} // namespace CoordMask
