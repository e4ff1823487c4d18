#pragma once

#include <functional>

class OperationSink;
class QWidget;
class QString;
class TdmORVS;
class TWinApiV8;

// Runs one device operation of a page off the GUI thread, as the clock page does with its
// worker: the operation gets a thread of its own with its own database connection and driver
// (a serial port belongs to the thread that opened it). Its messages and questions reach the
// page's sink on the GUI thread. Meanwhile the page is disabled and shows a wait cursor, and
// the GUI keeps painting. Returns what the operation returned (false when its database or
// driver failed; the sink then has the reason).
namespace DeviceTask {
using Job = std::function<bool(TdmORVS &dm, TWinApiV8 &api, OperationSink &sink)>;
bool run(QWidget *page, const QString &dataFolder, OperationSink &pageSink, const Job &job);
} // namespace DeviceTask
