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
#include <map>

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

const char *const DesignProperty = "pnxDesignCaptions"; // a translated control's own captions
const char *const DesignFormProperty = "pnxDesignForm";  // the form whose rows translated it
const char *const FormProperty = "pnxCaptionForm";
const char *const KindsProperty = "pnxCaptionKinds";

QObject *findControl(QObject *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QObject *>(name);
}

void setTexts(QObject *o, Kind k, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i)
        applyCaptionRow(o, {o->objectName(), texts[i], k, i});
    if (k == Kind::RadioGroup && texts.isEmpty())
        o->setProperty("items", QStringList());
}
} // namespace

QStringList captionTexts(QObject *o, Kind k)
{
    QStringList out;
    switch (k) {
    case Kind::ToolBar:
        if (auto *t = qobject_cast<QToolBar *>(o))
            for (QAction *a : realActions(t->actions()))
                out << a->text();
        break;
    case Kind::PopupMenu:
        if (auto *m = qobject_cast<QMenu *>(o))
            for (QAction *a : realActions(m->actions()))
                out << a->text();
        break;
    case Kind::Grid:
        if (auto *v = qobject_cast<QAbstractItemView *>(o); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c)
                out << v->model()->headerData(c, Qt::Horizontal).toString();
        break;
    case Kind::PageControl:
        if (auto *t = qobject_cast<QTabWidget *>(o))
            for (int i = 0; i < t->count(); ++i)
                out << t->tabText(i);
        break;
    case Kind::RadioGroup:
        out = o->property("items").toStringList();
        break;
    case Kind::Label:
        if (auto *l = qobject_cast<QLabel *>(o); l && !l->text().isEmpty())
            out = l->text().split(QLatin1Char('\n'));
        break;
    case Kind::Button:
        if (auto *b = qobject_cast<QAbstractButton *>(o); b && !qobject_cast<QCheckBox *>(o) && !b->text().isEmpty())
            out << b->text();
        break;
    case Kind::GroupBox:
        if (auto *g = qobject_cast<QGroupBox *>(o); g && !g->title().isEmpty())
            out << g->title();
        break;
    case Kind::CheckBox:
        if (auto *c = qobject_cast<QCheckBox *>(o); c && !c->text().isEmpty())
            out << c->text();
        break;
    case Kind::ReportLabel:
        if (const QString t = o->property("text").toString(); !t.isEmpty())
            out << t;
        break;
    case Kind::None:
        break;
    }
    return out;
}

QString captionFormName(QObject *root)
{
    return root->property(FormProperty).toString();
}

std::vector<std::pair<QString, QStringList>> designCaptions(QObject *root)
{
    const QVariantList kinds = root->property(KindsProperty).toList();
    QList<QObject *> all = root->findChildren<QObject *>();
    all.prepend(root);
    std::map<QString, QStringList> byName;
    for (QObject *candidate : all) {
        const QString name = candidate->objectName();
        const Kind k = Captions::kindOf(name);
        if (name.isEmpty() || byName.count(name) || !kinds.contains(static_cast<int>(k)))
            continue;
        QObject *o = findControl(root, name); // the control a row of that name reaches
        if (Captions::isFixed(o))
            continue;
        const QVariant design = o->property(DesignProperty);
        const QStringList texts = design.isValid() ? design.toStringList() : captionTexts(o, k);
        if (!texts.isEmpty())
            byName[name] = texts;
    }
    return {byName.begin(), byName.end()};
}

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
            if (Captions::isUnitTitle(v->model()->headerData(pos, Qt::Horizontal).toString()))
                return true; // the list's own unit title stays
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
    QVariantList kindList;
    for (Kind k : kinds)
        kindList << static_cast<int>(k);
    root->setProperty(FormProperty, formName);
    root->setProperty(KindsProperty, kindList);

    // Controls translated before get their own captions back first, so that another language, or
    // English, never leaves the previous language's texts behind.
    // (Collected first: a radio group given its items again replaces its buttons.)
    QList<QObject *> all = root->findChildren<QObject *>();
    all.prepend(root);
    QList<QObject *> translated;
    // (Only this form's: the main window holds the page shown, which translates itself.)
    for (QObject *o : all)
        if (o->property(DesignProperty).isValid() && o->property(DesignFormProperty).toString() == formName)
            translated << o;
    for (QObject *o : translated)
        setTexts(o, Captions::kindOf(o->objectName()), o->property(DesignProperty).toStringList());

    for (const auto &row : Captions::rowsFor(dm, formName, language)) {
        if (std::find(kinds.begin(), kinds.end(), row.kind) == kinds.end())
            continue;
        QObject *c = findControl(root, row.objectCode);
        if (!c || Captions::isFixed(c))
            continue;
        if (!c->property(DesignProperty).isValid()) {
            const QStringList design = captionTexts(c, row.kind);
            if (applyCaptionRow(c, row)) {
                c->setProperty(DesignProperty, design);
                c->setProperty(DesignFormProperty, formName);
            }
        } else {
            applyCaptionRow(c, row);
        }
    }
}

void applyCaptions(QObject *root, const QString &formName, std::initializer_list<Kind> kinds, TdmORVS &dm)
{
    applyCaptions(root, formName, kinds, dm, ClubSettings::load(dm).language);
}
