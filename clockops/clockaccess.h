#pragma once

#include "clockops/clocksession.h"

class OperationSink;
class TWinApiV8;

// The opening every pass and poll shares: identify the connected clock, skip the clock last
// handled, verify it and obtain its communication key.
namespace ClockAccess {

// With loftAfterUnderscore the loft number is the owner code after its first "_" (the whole code
// when it has none); otherwise the whole owner code. Reports "Please connect to club antenna and
// clock." when nothing answers, "Connect a clock to the antenna." (working) when only the antenna
// does (its owner is s.AntennaOwner). Returns PollOutcome::Done for a clock not handled yet.
PollOutcome identify(TWinApiV8 &api, ClockSession &s, bool loftAfterUnderscore, OperationSink &sink);
// After identify() gave a new clock: DiverseKey + ComVerify into s.CommKey.
bool verify(TWinApiV8 &api, ClockSession &s);
// The uploads' opening: identify the clock by its whole owner code, show `working` as the
// message area's content, verify; `verifyFailure` when that fails (PollOutcome::NotVerified).
PollOutcome openForUpload(TWinApiV8 &api, ClockSession &s, OperationSink &sink, const QString &working,
                          const QString &verifyFailure);

// The device's error number in a refusal reply ({"error":1287,...}); 0 when there is none.
int errorNumber(const QString &reply);

// "read 12 birds, 3 not read: BE-1, BE-2, BE-3" for an upload that could not read every bird.
QString incompleteText(int read, const QStringList &missing, const QString &why);

// Splits "a%b%c%" into its values (the empty entry after the last "%" dropped).
QStringList values(const QString &reply);

} // namespace ClockAccess
