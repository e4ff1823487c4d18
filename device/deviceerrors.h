#pragma once

#include <QString>

class TWinApiV8;

// The error numbers a clock or antenna puts into a refusal ({"error":1287,...}).
namespace DeviceError {
constexpr int None = 0;
constexpr int BadSignature = 1; // bad signature or not verified
constexpr int UnknownMethod = 2;
constexpr int BadRequest = 3; // malformed request or filter
constexpr int ReplyTooLong = 4;
constexpr int IndexOutOfRange = 1283;
constexpr int NoRaceRecord = 1287; // the clock holds no race record for the pigeon

// No clock holds more races, pigeons or log entries than this; a larger count is a bad reply.
constexpr int MaxItems = 9999;

// The error number of a refusal reply text; 0 when it holds none.
int number(const QString &reply);
} // namespace DeviceError

// Watches the requests of one operation: ends it after two time-outs in a row (the link is gone,
// waiting five seconds per remaining item helps nobody) or after a run of refused indexes.
class LinkWatch
{
public:
    static constexpr int TimeoutsInARow = 2;
    static constexpr int IndexErrorsInARow = 3;

    explicit LinkWatch(const TWinApiV8 &api) : api_(api) {}

    // Call after each request with its result; false once the operation must end.
    bool next(bool ok);
    bool stopped() const { return !reason_.isEmpty(); }
    // Why the operation ended ("The clock stopped answering ..."), empty while it goes on.
    QString reason() const { return reason_; }

private:
    const TWinApiV8 &api_;
    int timeouts_ = 0;
    int indexErrors_ = 0;
    QString reason_;
};
