#include "app/ui/controls.h"

#include "app/captions.h"
#include "app/ui/dialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
// Enter and Escape of one form's fields.
class FormKeys : public QObject
{
public:
    FormKeys(QWidget *form, QAbstractButton *save, QAbstractButton *cancel)
        : QObject(form), save_(save), cancel_(cancel)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
            return false;
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        QAbstractButton *b = enter ? save_.data() : k->key() == Qt::Key_Escape ? cancel_.data() : nullptr;
        if (!b || !b->isVisible() || !b->isEnabled())
            return false;
        if (!pending_) {
            // After the field has taken the key (a date box completes what was typed).
            pending_ = true;
            QPointer<QAbstractButton> button = b;
            QTimer::singleShot(0, this, [this, button] {
                pending_ = false;
                if (button && button->isVisible() && button->isEnabled())
                    button->click();
            });
        }
        return !enter;
    }

private:
    QPointer<QAbstractButton> save_;
    QPointer<QAbstractButton> cancel_;
    bool pending_ = false;
};
} // namespace

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

namespace {
QStringList fieldState(const QWidget *form)
{
    QStringList out;
    const auto fields = form->findChildren<QWidget *>();
    for (const QWidget *w : fields) {
        if (const auto *e = qobject_cast<const QLineEdit *>(w); e && !qobject_cast<QComboBox *>(e->parentWidget()) &&
                                                                !qobject_cast<QAbstractSpinBox *>(e->parentWidget()))
            out << e->text();
        else if (const auto *c = qobject_cast<const QComboBox *>(w))
            out << c->currentText();
        else if (const auto *d = qobject_cast<const QAbstractSpinBox *>(w))
            out << d->text();
        else if (const auto *b = qobject_cast<const QCheckBox *>(w))
            out << QString::number(b->isChecked());
        else if (const auto *t = qobject_cast<const QPlainTextEdit *>(w))
            out << t->toPlainText();
    }
    return out;
}

QString formTitle(const QWidget *form)
{
    if (const auto *g = qobject_cast<const QGroupBox *>(form); g && !g->title().isEmpty())
        return g->title();
    for (const QWidget *w : form->findChildren<QGroupBox *>())
        if (const auto *g = qobject_cast<const QGroupBox *>(w); !g->title().isEmpty())
            return g->title();
    return form->objectName();
}
} // namespace

void markClean(QWidget *form)
{
    form->setProperty("cleanState", fieldState(form));
}

bool isDirty(const QWidget *form)
{
    const QVariant clean = form->property("cleanState");
    return clean.isValid() && clean.toStringList() != fieldState(form);
}

bool confirmLeave(QWidget *parent, std::initializer_list<const QWidget *> forms)
{
    for (const QWidget *f : forms) {
        if (!f || !f->isVisible() || !isDirty(f))
            continue;
        return Dialogs::ask(parent, QStringLiteral("%1: the changes are not saved. Leave without saving them?")
                                        .arg(formTitle(f))) == Answer::Yes;
    }
    return true;
}

bool leavingForField(const QWidget *box, const QWidget *form)
{
    // Qt has already moved the focus when the box hears of it.
    const QWidget *next = QApplication::focusWidget();
    if (!next || next == box || !form || !form->isVisible() || !box->isVisible())
        return false;
    if (!form->isAncestorOf(next) || box->isAncestorOf(next) || qobject_cast<const QAbstractButton *>(next))
        return false;
    return true;
}

QString fieldName(const QWidget *box)
{
    for (const QWidget *w = box->parentWidget(); w; w = w->parentWidget()) {
        const auto forms = w->findChildren<QFormLayout *>();
        for (const QFormLayout *f : forms)
            if (const auto *l = qobject_cast<const QLabel *>(f->labelForField(const_cast<QWidget *>(box)))) {
                QString t = l->text();
                t.remove(QLatin1Char('&'));
                t = t.trimmed();
                if (t.endsWith(QLatin1Char(':')))
                    t.chop(1);
                return t.trimmed();
            }
        if (w->isWindow())
            break;
    }
    return box->accessibleName().isEmpty() ? box->objectName() : box->accessibleName();
}

void formKeys(QWidget *form, QAbstractButton *save, QAbstractButton *cancel)
{
    auto *keys = new FormKeys(form, save, cancel);
    const auto fields = form->findChildren<QWidget *>();
    for (QWidget *w : fields) {
        if (qobject_cast<QAbstractItemView *>(w) || qobject_cast<QAbstractItemView *>(w->parentWidget()))
            continue;
        bool inGrid = false;
        for (QWidget *p = w->parentWidget(); p && p != form; p = p->parentWidget())
            inGrid = inGrid || qobject_cast<QAbstractItemView *>(p);
        if (inGrid)
            continue;
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
            qobject_cast<QCheckBox *>(w))
            w->installEventFilter(keys);
    }
}

} // namespace Controls
