#pragma once

#include <QString>

// Files the program reads or replaces must be plain files: opening a named pipe or a device
// blocks until someone writes into it, and a folder cannot be read as a file.
namespace RegularFile {
// Empty when path is a regular file or does not exist; otherwise why it cannot be used, naming it.
QString refusal(const QString &path);
} // namespace RegularFile
