#include "app/ui/statusnote.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

namespace {
QString lastNote;

QStatusBar *barOf(QWidget *from)
{
    for (QWidget *w = from; w; w = w->parentWidget())
        if (auto *main = qobject_cast<QMainWindow *>(w))
            return main->statusBar();
    return nullptr;
}
} // namespace

namespace StatusNote {

void show(QWidget *from, const QString &text, int ms)
{
    lastNote = text;
    if (QStatusBar *bar = barOf(from))
        bar->showMessage(text, ms);
}

void clear(QWidget *from)
{
    lastNote.clear();
    if (QStatusBar *bar = barOf(from))
        bar->clearMessage();
}

QString last()
{
    return lastNote;
}

} // namespace StatusNote
