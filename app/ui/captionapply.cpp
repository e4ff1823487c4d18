#include "app/ui/captionapply.h"

#include "store/tableobject.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>

using Captions::Kind;

namespace {
QList<QAction *> realActions(const QList<QAction *> &all)
{
    QList<QAction *> out;
    for (QAction *a : all)
        if (!a->isSeparator())
            out << a;
    return out;
}

QObject *findControl(QObject *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QObject *>(name);
}
} // namespace

bool applyCaptionRow(QObject *control, const Captions::Row &row)
{
    const int pos = row.position;
    switch (row.kind) {
    case Kind::ToolBar:
        if (auto *tb = qobject_cast<QToolBar *>(control)) {
            const auto acts = realActions(tb->actions());
            if (pos >= acts.size())
                return false;
            acts[pos]->setText(row.caption);
            return true;
        }
        return false;
    case Kind::Grid:
        if (auto *v = qobject_cast<QAbstractItemView *>(control); v && v->model()) {
            if (pos >= v->model()->columnCount())
                return false;
            return v->model()->setHeaderData(pos, Qt::Horizontal, row.caption);
        }
        return false;
    case Kind::PopupMenu:
        if (auto *m = qobject_cast<QMenu *>(control)) {
            const auto acts = realActions(m->actions());
            if (pos >= acts.size())
                return false;
            acts[pos]->setText(row.caption);
            return true;
        }
        return false;
    case Kind::PageControl:
        if (auto *t = qobject_cast<QTabWidget *>(control)) {
            if (pos >= t->count())
                return false;
            t->setTabText(pos, row.caption);
            return true;
        }
        return false;
    case Kind::RadioGroup: {
        // Radio groups expose their choices as an "items" string list property.
        const QVariant items = control->property("items");
        if (!items.isValid())
            return false;
        QStringList list = pos == 0 ? QStringList() : items.toStringList();
        list << row.caption;
        return control->setProperty("items", list);
    }
    case Kind::Label:
        if (auto *l = qobject_cast<QLabel *>(control)) {
            l->setText(pos == 0 ? row.caption : l->text() + QLatin1Char('\n') + row.caption);
            return true;
        }
        return false;
    case Kind::Button:
        if (auto *b = qobject_cast<QAbstractButton *>(control); b && !qobject_cast<QCheckBox *>(control)) {
            b->setText(row.caption);
            return true;
        }
        return false;
    case Kind::GroupBox:
        if (auto *g = qobject_cast<QGroupBox *>(control)) {
            g->setTitle(row.caption);
            return true;
        }
        return false;
    case Kind::CheckBox:
        if (auto *c = qobject_cast<QCheckBox *>(control)) {
            c->setText(row.caption);
            return true;
        }
        return false;
    case Kind::ReportLabel:
        // Report items are plain objects with a "text" property.
        return control->property("text").isValid() && control->setProperty("text", row.caption);
    case Kind::None:
        return false;
    }
    return false;
}

void applyCaptions(QObject *root, const QString &formName, std::initializer_list<Kind> kinds, TdmORVS &dm,
                   int language)
{
    for (const auto &row : Captions::rowsFor(dm, formName, language)) {
        if (std::find(kinds.begin(), kinds.end(), row.kind) == kinds.end())
            continue;
        if (QObject *c = findControl(root, row.objectCode))
            applyCaptionRow(c, row);
    }
}

void applyCaptions(QObject *root, const QString &formName, std::initializer_list<Kind> kinds, TdmORVS &dm)
{
    applyCaptions(root, formName, kinds, dm, ClubSettings::load(dm).language);
}
