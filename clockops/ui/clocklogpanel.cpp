#include "clockops/ui/clocklogpanel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
QPlainTextEdit *memo(QWidget *parent, const QString &name)
{
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(name);
    m->setReadOnly(true);
    // Long loft names wrap rather than hide the end of a line behind a scroll bar.
    m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setFocusPolicy(Qt::ClickFocus);
    return m;
}
} // namespace

TClockLogPanel::TClockLogPanel(const QString &prefix, bool withUnread, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnl%1Log").arg(prefix));
    logBox_ = new QGroupBox(QStringLiteral("Clocks handled"), this);
    logBox_->setObjectName(QStringLiteral("grp%1Log").arg(prefix));
    log_ = memo(logBox_, QStringLiteral("mmo%1Log").arg(prefix));
    auto *ll = new QVBoxLayout(logBox_);
    ll->setContentsMargins(6, 4, 6, 6);
    ll->addWidget(log_);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(logBox_, 3);
    if (withUnread) {
        unreadBox_ = new QGroupBox(QStringLiteral("Still to read"), this);
        unreadBox_->setObjectName(QStringLiteral("grp%1Unread").arg(prefix));
        unreadText_ = memo(unreadBox_, QStringLiteral("mmo%1Unread").arg(prefix));
        auto *ul = new QVBoxLayout(unreadBox_);
        ul->setContentsMargins(6, 4, 6, 6);
        ul->addWidget(unreadText_);
        lay->addWidget(unreadBox_, 2);
        setUnread({}, false);
    }
    setMinimumHeight(150);
}

void TClockLogPanel::append(const QString &line)
{
    lines_ << line;
    log_->appendPlainText(line);
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void TClockLogPanel::setUnread(const QStringList &lofts, bool raceChosen)
{
    unread_ = lofts;
    if (!unreadText_)
        return;
    if (!raceChosen)
        unreadText_->setPlainText(QStringLiteral("Choose the race."));
    else if (lofts.isEmpty())
        unreadText_->setPlainText(QStringLiteral("No loft left to read."));
    else
        unreadText_->setPlainText(QStringLiteral("%1 loft%2:\n").arg(lofts.size()).arg(lofts.size() == 1 ? "" : "s") +
                                  lofts.join(QLatin1Char('\n')));
}
