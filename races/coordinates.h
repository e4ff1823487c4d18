#pragma once

#include "store/coordinatemask.h"

#include <QString>

// Coordinate texts ("E121'23:24", "51 30 00 N") and the distance between two positions.
namespace Coordinates {

struct Parsed
{
    bool ok = false;
    double degrees = 0; // signed: south and west negative
    QString message;    // why it failed; empty when the coordinate is simply not given
};

// Reads a coordinate text into signed decimal degrees. Empty text, or one whose characters 2 to 4
// are "000", is not given (fails without a message).
Parsed parse(const QString &text);

// True when the text counts as not given where a coordinate is tested: empty or starting with a blank.
bool isBlank(const QString &text);

struct Distance
{
    long long metres = 0;
    QString message; // the parser's message when a coordinate was unreadable
};
// Loft to liberation point in whole metres; 0 when the loft longitude is blank or any coordinate
// cannot be read (parsed in the order loft latitude, loft longitude, point latitude, point longitude).
Distance distance(const QString &liberLon, const QString &liberLat, const QString &loftLon,
                  const QString &loftLat);
// The plain formula on signed degrees, in kilometres.
double kilometres(double loftLat, double loftLon, double pointLat, double pointLon);

// Miles/Yards columns for a distance in metres: mode 0 kilometres + metres, else miles + yards.
struct Stored
{
    long long miles = 0;
    long long yards = 0;
};
Stored toStored(long long metres, int mode);

// The exit check of a mask field "A999'99:99": when its degree places are filled, minutes and
// seconds must be numbers below 60. Returns the message that refuses the exit, or empty.
inline QString exitCheck(const QString &maskText, bool latitude)
{
    return CoordinateMask::exitCheck(maskText, !latitude);
}

} // namespace Coordinates
