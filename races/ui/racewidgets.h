#pragma once

#include <QString>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QWidget;

// Small builders for the Races page's controls: each gets its system name as objectName.
namespace RaceWidgets {
QPushButton *button(QWidget *parent, const char *name, const QString &text);
QLabel *label(QWidget *parent, const char *name, const QString &text);
QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool upper = false);
QLineEdit *coordinateEdit(QWidget *parent, const char *name);
QDateEdit *dateEdit(QWidget *parent, const char *name);
QTimeEdit *timeEdit(QWidget *parent, const char *name);
QWidget *panel(QWidget *parent, const char *name);
void setTitleFont(QLabel *l);
} // namespace RaceWidgets
