#pragma once

#include "app/ui/controls.h"

#include <QString>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QWidget;

// Small builders for the Races page's controls: each gets its system name as objectName.
namespace RaceWidgets {
using Controls::button;
using Controls::edit;
using Controls::label;
using Controls::panel;
using Controls::setTitleFont;
QLineEdit *coordinateEdit(QWidget *parent, const char *name);
QDateEdit *dateEdit(QWidget *parent, const char *name);
QTimeEdit *timeEdit(QWidget *parent, const char *name);
} // namespace RaceWidgets
