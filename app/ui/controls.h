#pragma once

#include <QString>
#include <initializer_list>

class QAbstractButton;
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
// While `box` loses the focus: whether it goes to another field of `form` (not a button, not
// outside the form, not to another window). Only such a move checks what the box holds, so
// Cancel, Escape, another page and the tool bar always work.
bool leavingForField(const QWidget *box, const QWidget *form);
// The name of a form's field for a message: its form label without the colon ("Liberation Date").
QString fieldName(const QWidget *box);
// Enter presses `save`, Escape presses `cancel`, in every field of `form` that exists now (grids
// keep their own Enter). Either button may be null.
void formKeys(QWidget *form, QAbstractButton *save, QAbstractButton *cancel);
// What the fields of `form` hold now, remembered as its saved state (after loading or saving).
void markClean(QWidget *form);
// Whether a field of `form` differs from the state last marked clean. A form never marked is clean.
bool isDirty(const QWidget *form);
// Before leaving the forms shown: true when none holds unsaved changes, or the user answers Yes
// to leaving them unsaved.
bool confirmLeave(QWidget *parent, std::initializer_list<const QWidget *> forms);
} // namespace Controls
