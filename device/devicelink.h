#pragma once

#include "device/bytelink.h"

#include <QString>
#include <functional>
#include <memory>

// Program-wide choice of the link a new driver opens: the options given on the command line
// (--port, --trace) and the data folder whose ORVS.ini may name the port.
struct DeviceLinkOptions
{
    QString port;       // --port NAME, or empty
    QString traceFile;  // --trace FILE, or empty
    QString dataFolder; // for ORVS.ini, or empty
};

namespace DeviceLink {
void configure(const DeviceLinkOptions &options);
DeviceLinkOptions options();

// Replaces the serial port by another link for every driver created from now on (the demo's
// in-process simulator). An empty factory returns to the serial port.
using Factory = std::function<std::unique_ptr<ByteLink>()>;
void setFactory(Factory factory);

// Opens the configured link with the trace attached. Never null: when the port cannot be opened
// the link returned is closed and *error says why.
std::unique_ptr<ByteLink> open(QString *error);

// Where a new driver talks to, for the user: the port name, or "the virtual antenna".
QString describe();

// The trace of the configured --trace file (shared by every link), or null.
std::shared_ptr<LinkTrace> sharedTrace();
} // namespace DeviceLink
