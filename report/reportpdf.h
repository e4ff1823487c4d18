#pragma once

#include <QString>

class QIODevice;
class Report;

// Writes a report as PDF (A4 portrait), page by page.
namespace ReportPdf {

// Onto an open device; returns the page count, 0 on failure.
int write(const Report &report, QIODevice &device);

// Into a file, which appears only when complete: a failure leaves no partial file and keeps an
// earlier file of that name. Returns the page count; 0 with `error` set on failure.
int writeFile(const Report &report, const QString &path, QString *error = nullptr);

} // namespace ReportPdf
