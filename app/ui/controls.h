#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Builders for the pages' controls: every control carries its system name as objectName, which
// caption translation and the tests find it by.
namespace Controls {
QWidget *panel(QWidget *parent, const char *name);
QLabel *label(QWidget *parent, const char *name, const QString &text);
// A label showing a value (a count, a running title built from data): captions never replace it.
QLabel *valueLabel(QWidget *parent, const char *name, const QString &text);
QPushButton *button(QWidget *parent, const char *name, const QString &text);
// A line edit of at most maxLength characters; `upper` keeps its text in upper case.
QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool upper = false);
// A page title: larger and bold.
void setTitleFont(QLabel *l);
} // namespace Controls
