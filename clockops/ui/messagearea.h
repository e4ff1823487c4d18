#pragma once

#include "store/operationsink.h"

#include <QPlainTextEdit>

class QTimer;

// A tab's message area: hidden until a message comes, yellow while working, red for failures,
// lime for success. Its message timer (3000 ms) only switches itself off.
class TMessageArea : public QPlainTextEdit
{
    Q_OBJECT
public:
    TMessageArea(const QString &objectName, const QString &timerName, QWidget *parent = nullptr);
    void show(const QString &text, MessageKind kind);
    void clearAndHide();
    QTimer *messageTimer() const { return timer_; }
    QString colourName() const { return colour_; }

private:
    QTimer *timer_;
    QString colour_;
};
