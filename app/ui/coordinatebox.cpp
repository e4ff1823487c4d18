#include "app/ui/coordinatebox.h"

#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "store/coordinatemask.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

CoordinateBox::CoordinateBox(QLineEdit *box, bool longitude, QWidget *form)
    : QObject(box), box_(box), longitude_(longitude), form_(form)
{
}

void CoordinateBox::attach(QLineEdit *box, bool longitude, QWidget *form)
{
    box->installEventFilter(new CoordinateBox(box, longitude, form));
}

QString CoordinateBox::text(const QLineEdit *box)
{
    return box->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
}

bool CoordinateBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != box_)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        const bool atStart =
            box_->hasSelectedText() ? box_->selectionStart() == 0 : box_->cursorPosition() == 0;
        if (t.size() == 1 && t.at(0).isLetter() && atStart &&
            !CoordinateMask::hemispheres(longitude_).contains(t.at(0).toUpper())) {
            QApplication::beep();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            !Controls::leavingForField(box_, form_))
            return false;
        const QString message = CoordinateMask::exitCheck(text(box_), longitude_);
        if (message.isEmpty())
            return false;
        checking_ = true;
        Dialogs::error(form_, message);
        checking_ = false;
        QPointer<QLineEdit> box = box_;
        QTimer::singleShot(0, box_, [box] {
            if (box && box->isVisible())
                box->setFocus(Qt::OtherFocusReason);
        });
    }
    return false;
}
