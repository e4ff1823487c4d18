#include "app/ui/controls.h"

#include "app/captions.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Controls {

QWidget *panel(QWidget *parent, const char *name)
{
    auto *p = new QWidget(parent);
    p->setObjectName(QLatin1String(name));
    return p;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLabel *valueLabel(QWidget *parent, const char *name, const QString &text)
{
    QLabel *l = label(parent, name, text);
    Captions::markFixed(l);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool upper)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    if (upper)
        QObject::connect(e, &QLineEdit::textChanged, e, [e](const QString &t) {
            const QString u = t.toUpper();
            if (u == t)
                return;
            const int pos = e->cursorPosition();
            e->setText(u);
            e->setCursorPosition(pos);
        });
    return e;
}

void setTitleFont(QLabel *l)
{
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    l->setFont(f);
}

} // namespace Controls
