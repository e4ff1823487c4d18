#pragma once

#include <QDateTimeEdit>
#include <QObject>
#include <map>

class QDateEdit;
class QTimeEdit;

// Whole typed entry for date and time boxes. Qt's own boxes type into whichever section the
// cursor happens to stand in, so "07:30:00" typed over 10:11:20 can land in the minutes and
// leave the hour alone. With this filter a box selects everything when it gets the focus, and
// typed digits fill the sections from the first one in order: a section moves on when it is
// full, or at a separator (":", ".", "/", "-", space). Arrow keys keep their usual meaning.
class TypedDateTimeEntry : public QObject
{
public:
    explicit TypedDateTimeEntry(QDateTimeEdit *box);

    // Installs the filter on a box (once).
    static void attach(QDateTimeEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(const QString &text, int key, Qt::KeyboardModifiers mods);
    void startEntry();
    void checkRange();
    void digit(QChar c);
    void separator();
    void commitBuffer();
    void advance();
    void apply(bool final);
    int width(QDateTimeEdit::Section s) const;
    int maximum(QDateTimeEdit::Section s) const;
    bool handled(QDateTimeEdit::Section s) const;

    QDateTimeEdit *box_;
    bool checking_ = false; // the range message is showing
    bool fresh_ = false;    // focus just came: the next digit starts a whole new entry
    bool entering_ = false; // digits go to section_, not to where Qt's cursor stands
    int section_ = 0;
    QString buffer_;
    std::map<QDateTimeEdit::Section, int> typed_; // typed values not yet forming a valid date
};

class QLocale;

namespace Controls {
// The locale's short date form in digits, with a four-digit year.
QString typedDateFormat(const QLocale &locale);
// Date box in the locale's short form, with a calendar, taking typed input whole.
QDateEdit *dateEdit(QWidget *parent, const char *name);
// Time box "HH:mm:ss", taking typed input whole.
QTimeEdit *timeEdit(QWidget *parent, const char *name);
} // namespace Controls
