#pragma once

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QtTest>

// Types a value into a date or time box the way a person does: a click into the box (into its
// middle, where the minutes or the month stand), the value as the box shows it, then Tab.
// The box's window must be shown and active.
namespace Typing {

inline void clickInto(QWidget *box)
{
    QLineEdit *line = qobject_cast<QLineEdit *>(box) ? nullptr : box->findChild<QLineEdit *>();
    QWidget *target = line ? static_cast<QWidget *>(line) : box;
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, target->height() / 2));
    QCoreApplication::processEvents();
}

inline void typeText(QDateTimeEdit *box, const QString &text)
{
    clickInto(box);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

inline void typeDate(QDateTimeEdit *box, const QDate &d)
{
    typeText(box, d.toString(box->displayFormat()));
}

inline void typeTime(QDateTimeEdit *box, const QTime &t)
{
    typeText(box, t.toString(box->displayFormat()));
}

} // namespace Typing
