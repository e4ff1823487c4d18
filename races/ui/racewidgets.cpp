#include "races/ui/racewidgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>

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
    auto *d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    return d;
}

QTimeEdit *timeEdit(QWidget *parent, const char *name)
{
    auto *t = new QTimeEdit(parent);
    t->setObjectName(QLatin1String(name));
    t->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return t;
}

} // namespace RaceWidgets
