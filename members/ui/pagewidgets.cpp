#include "members/ui/pagewidgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace MemberWidgets {

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

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit *edit(QWidget *parent, const char *name, int maxLen, bool upper)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLen);
    if (upper)
        QObject::connect(e, &QLineEdit::textChanged, e, [e](const QString &t) {
            const QString u = t.toUpper();
            if (u != t) {
                const int pos = e->cursorPosition();
                e->setText(u);
                e->setCursorPosition(pos);
            }
        });
    return e;
}

QString maskText(const QLineEdit *box)
{
    if (box->inputMask().isEmpty())
        return box->text();
    QString t = box->displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

} // namespace MemberWidgets
