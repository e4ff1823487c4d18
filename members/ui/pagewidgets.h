#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders for the member page's controls: every control carries its system name.
namespace MemberWidgets {
QWidget *panel(QWidget *parent, const char *name);
QLabel *label(QWidget *parent, const char *name, const QString &text);
QPushButton *button(QWidget *parent, const char *name, const QString &text);
// A line edit limited to maxLen characters; `upper` shows and keeps the text in upper case.
QLineEdit *edit(QWidget *parent, const char *name, int maxLen, bool upper = false);
// The text of a masked coordinate box with blanks for empty places ("    '  :  .  " untouched).
QString maskText(const QLineEdit *box);
} // namespace MemberWidgets
