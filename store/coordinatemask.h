#pragma once

#include <QString>

// The exit check of the coordinate boxes (mask "A999'99:99", lofts with ".99" hundredths): once
// the degree places are filled, the hemisphere is E or W for a longitude, N or S for a latitude,
// and minutes and seconds are whole numbers below 60.
namespace CoordinateMask {
// The message that refuses leaving the box, or empty when the text passes. `longitude` tells which
// coordinate `text` is; the message names it. Blank degrees skip the test; a blank inside minutes
// or seconds is refused as a conversion error. Degrees are not range-tested.
QString exitCheck(const QString &text, bool longitude);
// The hemisphere letters of a longitude ("EW") or a latitude ("NS").
QString hemispheres(bool longitude);
} // namespace CoordinateMask
