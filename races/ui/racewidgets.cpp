#include "races/ui/racewidgets.h"

#include "app/ui/datetimebox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace RaceWidgets {

QLineEdit *coordinateEdit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    // a letter, three digits of degrees, minutes and seconds; blanks show as "_"
    e->setInputMask(QStringLiteral(">A999'99:99;_"));
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("W000'00:00")) + 24);
    return e;
}

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    return Controls::dateEdit(parent, name);
}

QTimeEdit *timeEdit(QWidget *parent, const char *name)
{
    return Controls::timeEdit(parent, name);
}

} // namespace RaceWidgets
