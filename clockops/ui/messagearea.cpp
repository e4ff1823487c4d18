#include "clockops/ui/messagearea.h"

#include <QTimer>

TMessageArea::TMessageArea(const QString &objectName, const QString &timerName, QWidget *parent)
    : QPlainTextEdit(parent), timer_(new QTimer(this))
{
    setObjectName(objectName);
    setReadOnly(true);
    setMaximumHeight(96);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.15);
    f.setBold(true);
    setFont(f);
    timer_->setObjectName(timerName);
    timer_->setInterval(3000);
    connect(timer_, &QTimer::timeout, timer_, &QTimer::stop);
    hide();
}

void TMessageArea::show(const QString &text, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Failure: colour_ = QStringLiteral("#FF0000"); break;
    case MessageKind::Success: colour_ = QStringLiteral("#00FF00"); break;
    default: colour_ = QStringLiteral("#FFFF00"); break;
    }
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: %1; color: black; }").arg(colour_));
    appendPlainText(text);
    setVisible(true);
    timer_->start();
}

void TMessageArea::clearAndHide()
{
    clear();
    hide();
}
