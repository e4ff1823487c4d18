#pragma once

#include <QObject>

class QLineEdit;

// The entry rules of a coordinate box of a form (mask "A999'99:99", lofts with hundredths):
// - its first place takes only the hemisphere letters of its coordinate (E/W or N/S);
// - leaving it for another field of the same form checks this box's text and, when it is
//   wrong, names the box in a message and puts the cursor back;
// - Cancel and the form's other buttons, Escape, another page, the tool bar and other windows
//   are never held up: Save checks the same again.
class CoordinateBox : public QObject
{
public:
    static void attach(QLineEdit *box, bool longitude, QWidget *form);
    // The box's text with blanks in the places nothing was typed into.
    static QString text(const QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CoordinateBox(QLineEdit *box, bool longitude, QWidget *form);

    QLineEdit *box_;
    bool longitude_;
    QWidget *form_;
    bool checking_ = false;
};
