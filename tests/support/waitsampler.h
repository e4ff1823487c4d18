#pragma once

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

// Looks at a page at every turn of the event loop while work runs on another thread, and counts
// the turns that found it shown as waiting: disabled, under the wait cursor.
class WaitSampler
{
public:
    explicit WaitSampler(QWidget &page)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this, &page] {
            ++samples;
            const QCursor *c = QApplication::overrideCursor();
            if (!page.isEnabled() && c && c->shape() == Qt::WaitCursor)
                ++waiting;
        });
        timer_.start();
    }
    void stop() { timer_.stop(); }
    QString report() const { return QStringLiteral("%1 samples, none saw the page waiting").arg(samples); }

    int samples = 0;
    int waiting = 0;

private:
    QTimer timer_;
};
