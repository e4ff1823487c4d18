#include "app/ui/datetimebox.h"

#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "store/dateform.h"
#include "store/entrycheck.h"

#include <QDateEdit>
#include <QFocusEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QTimeEdit>
#include <QRegularExpression>
#include <QTimer>

TypedDateTimeEntry::TypedDateTimeEntry(QDateTimeEdit *box) : QObject(box), box_(box)
{
    setObjectName(QStringLiteral("typedEntry"));
}

void TypedDateTimeEntry::attach(QDateTimeEdit *box)
{
    if (!box || box->findChild<TypedDateTimeEntry *>(QStringLiteral("typedEntry"), Qt::FindDirectChildrenOnly))
        return;
    box->installEventFilter(new TypedDateTimeEntry(box));
}

bool TypedDateTimeEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != box_)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
        fresh_ = true;
        entering_ = false;
        buffer_.clear();
        typed_.clear();
        // After Qt has placed the cursor for the click or tab that brought the focus.
        QPointer<QDateTimeEdit> box = box_;
        QTimer::singleShot(0, box_, [this, box] {
            if (box && box->hasFocus() && fresh_) {
                box->setCurrentSectionIndex(0);
                box->selectAll();
            }
        });
        return false;
    }
    case QEvent::FocusOut:
        commitBuffer();
        apply(true);
        fresh_ = false;
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            checkRange();
        return false;
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        return keyPress(ke->text(), ke->key(), ke->modifiers());
    }
    default:
        return false;
    }
}

void TypedDateTimeEntry::checkRange()
{
    // A race's or a clock's date: refused as soon as the box is left for another field, not
    // only at save (which checks it again).
    if (!(box_->displayedSections() & QDateTimeEdit::YearSection) || checking_)
        return;
    if (!Controls::leavingForField(box_, box_->parentWidget()))
        return;
    const QString message = EntryCheck::date(Controls::fieldName(box_), box_->date());
    if (message.isEmpty())
        return;
    checking_ = true;
    Dialogs::error(box_->parentWidget(), message);
    checking_ = false;
    QPointer<QDateTimeEdit> box = box_;
    QTimer::singleShot(0, box_, [box] {
        if (box && box->isVisible())
            box->setFocus(Qt::OtherFocusReason);
    });
}

bool TypedDateTimeEntry::keyPress(const QString &text, int key, Qt::KeyboardModifiers mods)
{
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key) {
    case Qt::Key_Backspace:
        if (buffer_.isEmpty())
            break;
        buffer_.chop(1);
        if (!buffer_.isEmpty()) {
            typed_[box_->sectionAt(section_)] = buffer_.toInt();
            apply(false);
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        commitBuffer();
        apply(true);
        return false;
    default:
        break;
    }
    if (text.size() != 1 || !text.at(0).isPrint()) {
        // Arrows, Home, End, page keys: Qt's handling, and typing goes on where the cursor is.
        if (key != Qt::Key_Shift) {
            commitBuffer();
            apply(true);
            fresh_ = false;
            entering_ = false;
        }
        return false;
    }
    const QChar c = text.at(0);
    if (c.isLetter()) {
        // month names, AM/PM: Qt's own handling
        fresh_ = false;
        entering_ = false;
        return false;
    }
    if (fresh_) {
        startEntry();
    } else if (!entering_) {
        // typing on where the arrows or a click left the cursor
        entering_ = true;
        buffer_.clear();
        section_ = qMax(0, box_->currentSectionIndex());
    }
    if (!handled(box_->sectionAt(section_)))
        return false;
    if (c.isDigit())
        digit(c);
    else
        separator();
    return true;
}

void TypedDateTimeEntry::startEntry()
{
    fresh_ = false;
    entering_ = true;
    section_ = 0;
    buffer_.clear();
    typed_.clear();
    // A time typed anew starts from whole hours: "7:30" over 10:11:20 is 07:30:00.
    const auto first = box_->sectionAt(0);
    if (first == QDateTimeEdit::HourSection) {
        for (int i = 1; i < box_->sectionCount(); ++i) {
            const auto s = box_->sectionAt(i);
            if (s == QDateTimeEdit::MinuteSection || s == QDateTimeEdit::SecondSection ||
                s == QDateTimeEdit::MSecSection)
                typed_[s] = 0;
        }
    }
}

void TypedDateTimeEntry::digit(QChar c)
{
    const auto s = box_->sectionAt(section_);
    const QString next = buffer_ + c;
    const int v = next.toInt();
    if (v > maximum(s))
        return; // no such hour, minute, day or month: the digit is refused
    buffer_ = next;
    typed_[s] = v;
    // Full, or no further digit could keep it in range: the section is done.
    if (buffer_.size() >= width(s) || v * 10 > maximum(s)) {
        commitBuffer();
        advance();
        return;
    }
    apply(false);
}

void TypedDateTimeEntry::separator()
{
    // After a full section (which moved on by itself) or another separator ("yyyy. MM. dd.")
    // there is nothing to end.
    if (buffer_.isEmpty())
        return;
    commitBuffer();
    advance();
}

void TypedDateTimeEntry::commitBuffer()
{
    if (buffer_.isEmpty())
        return;
    const auto s = box_->sectionAt(section_);
    const bool fromOne = s == QDateTimeEdit::DaySection || s == QDateTimeEdit::MonthSection;
    typed_[s] = qMax(fromOne ? 1 : 0, buffer_.toInt());
    buffer_.clear();
    apply(false);
}

void TypedDateTimeEntry::advance()
{
    if (section_ + 1 < box_->sectionCount())
        ++section_;
    box_->setCurrentSectionIndex(section_);
    box_->setSelectedSection(box_->sectionAt(section_));
}

void TypedDateTimeEntry::apply(bool final)
{
    if (typed_.empty())
        return;
    const QDate d0 = box_->date();
    const QTime t0 = box_->time();
    int y = d0.year(), mo = d0.month(), da = d0.day();
    int h = t0.hour(), mi = t0.minute(), se = t0.second(), ms = t0.msec();
    const bool twelveHour = box_->displayFormat().contains(QLatin1String("ap"), Qt::CaseInsensitive);
    for (const auto &[s, v] : typed_) {
        switch (s) {
        case QDateTimeEdit::YearSection:
            y = width(s) == 2 ? (d0.year() / 100) * 100 + v : v;
            break;
        case QDateTimeEdit::MonthSection:
            mo = v;
            break;
        case QDateTimeEdit::DaySection:
            da = v;
            break;
        case QDateTimeEdit::HourSection:
            // 12-hour boxes keep the half of the day they showed
            h = twelveHour ? (v % 12) + (t0.hour() >= 12 ? 12 : 0) : v;
            break;
        case QDateTimeEdit::MinuteSection:
            mi = v;
            break;
        case QDateTimeEdit::SecondSection:
            se = v;
            break;
        case QDateTimeEdit::MSecSection:
            ms = v;
            break;
        default:
            break;
        }
    }
    QDate d(y, mo, da);
    // A day typed before its month may not exist yet; once the entry ends it is kept in the month.
    if (!d.isValid() && final && mo >= 1 && mo <= 12 && da >= 1)
        d = QDate(y, mo, qMin(da, QDate(y, mo, 1).daysInMonth()));
    const QTime t(h, mi, se, ms);
    if (!d.isValid() || !t.isValid()) {
        if (final)
            typed_.clear();
        return;
    }
    // As the box keeps its value (Qt's date and time boxes hold UTC): a local value would be
    // converted, so 07:30 typed on a PC in Brussels lost an hour at each section.
    const QDateTime value(d, t, box_->timeSpec());
    // A year half typed is out of the box's range; Qt would clamp it and lose the other sections.
    if (!final && (value < box_->minimumDateTime() || value > box_->maximumDateTime()))
        return;
    const bool selectSection = box_->hasFocus();
    box_->setDateTime(value);
    typed_.clear();
    if (selectSection && !final) {
        box_->setCurrentSectionIndex(section_);
        box_->setSelectedSection(box_->sectionAt(section_));
    }
}

int TypedDateTimeEntry::width(QDateTimeEdit::Section s) const
{
    switch (s) {
    case QDateTimeEdit::YearSection:
        return box_->displayFormat().contains(QLatin1String("yyyy")) ? 4 : 2;
    case QDateTimeEdit::MSecSection:
        return 3;
    default:
        return 2;
    }
}

int TypedDateTimeEntry::maximum(QDateTimeEdit::Section s) const
{
    switch (s) {
    case QDateTimeEdit::YearSection:
        return width(s) == 4 ? 9999 : 99;
    case QDateTimeEdit::MonthSection:
        return 12;
    case QDateTimeEdit::DaySection:
        return 31;
    case QDateTimeEdit::HourSection:
        return box_->displayFormat().contains(QLatin1String("ap"), Qt::CaseInsensitive) ? 12 : 23;
    case QDateTimeEdit::MSecSection:
        return 999;
    default:
        return 59;
    }
}

bool TypedDateTimeEntry::handled(QDateTimeEdit::Section s) const
{
    if (s == QDateTimeEdit::AmPmSection || s == QDateTimeEdit::NoSection)
        return false;
    // a month shown by name is typed by its letters
    return !(s == QDateTimeEdit::MonthSection && box_->displayFormat().contains(QLatin1String("MMM")));
}

namespace Controls {

QString typedDateFormat(const QLocale &locale)
{
    return DateForm::of(locale);
}

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(typedDateFormat(QLocale::system()));
    TypedDateTimeEntry::attach(d);
    return d;
}

QTimeEdit *timeEdit(QWidget *parent, const char *name)
{
    auto *t = new QTimeEdit(parent);
    t->setObjectName(QLatin1String(name));
    t->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TypedDateTimeEntry::attach(t);
    return t;
}

} // namespace Controls
