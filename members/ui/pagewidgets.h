#pragma once

#include "app/ui/controls.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders for the member page's controls: every control carries its system name.
namespace MemberWidgets {
using Controls::button;
using Controls::edit;
using Controls::label;
using Controls::panel;
// The text of a masked coordinate box with blanks for empty places ("    '  :  .  " untouched).
QString maskText(const QLineEdit *box);
} // namespace MemberWidgets
