#include "members/ui/pagewidgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace MemberWidgets {

QString maskText(const QLineEdit *box)
{
    if (box->inputMask().isEmpty())
        return box->text();
    QString t = box->displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

} // namespace MemberWidgets
