#include "races/ui/racewidgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>

namespace RaceWidgets {

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool upper)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    if (upper)
        QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString &t) {
            if (t == t.toUpper())
                return;
            const int pos = e->cursorPosition();
            e->setText(t.toUpper());
            e->setCursorPosition(pos);
        });
    return e;
}

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

QWidget *panel(QWidget *parent, const char *name)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

void setTitleFont(QLabel *l)
{
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    l->setFont(f);
}

} // namespace RaceWidgets
