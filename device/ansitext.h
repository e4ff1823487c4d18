#pragma once

#include <QByteArray>
#include <QString>

// The host's single-byte character set (Windows-1252) in which the clocks exchange JSON text.
namespace AnsiText {
// Characters outside the set become "?" (they cannot be carried); *unmapped counts them, a
// character outside the BMP (a surrogate pair) once.
QByteArray encode(const QString &text, int *unmapped = nullptr);
QString decode(const QByteArray &bytes);
} // namespace AnsiText
