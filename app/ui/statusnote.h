#pragma once

#include <QString>

class QWidget;

// Short notes in the main window's status bar: a save that succeeded, the antenna being waited
// for. Pages shown outside a main window (the first-run setup, tests) keep the last note only.
namespace StatusNote {
// ms 0: the note stays until replaced or cleared.
void show(QWidget *from, const QString &text, int ms = 5000);
void clear(QWidget *from);
// The last note shown (for tests), empty after clear().
QString last();
} // namespace StatusNote
