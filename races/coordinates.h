#pragma once

#include "store/coordinatemask.h"

#include <QString>
#include <QVariant>

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

// Decimal degrees ("51.5", "-0.25", north and east positive) or a coordinate text as parse() reads it.
Parsed parseDegreesOrText(const QString &text);

// True when the text counts as not given where a coordinate is tested: empty or starting with a blank.
bool isBlank(const QString &text);

// How the club measures a loft's distance; the value is stored in ORV_ClubData.DistanceMethod.
enum class DistanceMethod
{
    ClubFormula = 0, // the flat formula the club has always used (the default)
    Wgs84 = 1        // the geodesic on the WGS84 ellipsoid, as federations prescribe
};
// "Club formula" / "WGS84 geodesic".
QString methodName(DistanceMethod method);
// A stored value: 1 is the geodesic; anything else (NULL, old databases) is the club formula.
DistanceMethod methodFromStored(const QVariant &value);

struct Distance
{
    long long metres = 0;
    QString message; // the parser's message when a coordinate was unreadable
};
// Loft to liberation point in whole metres; 0 when the loft longitude is blank or any coordinate
// cannot be read (parsed in the order loft latitude, loft longitude, point latitude, point longitude).
// Every place that stores a loft distance goes through this one function.
Distance distance(const QString &liberLon, const QString &liberLat, const QString &loftLon,
                  const QString &loftLat, DistanceMethod method = DistanceMethod::ClubFormula);
// The plain formula on signed degrees, in kilometres.
double kilometres(double loftLat, double loftLon, double pointLat, double pointLon);
// Metres between two positions in signed degrees, unrounded, by either method.
double metresBetween(double lat1, double lon1, double lat2, double lon2, DistanceMethod method);

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
