#pragma once

#include <QStringList>
#include <QWidget>

class QGroupBox;
class QPlainTextEdit;

// Beside a tab's message area: the lasting log of the clocks handled since the page was opened
// and, on the upload tabs, the lofts of the race still to read.
class TClockLogPanel : public QWidget
{
    Q_OBJECT
public:
    // prefix "Synch" gives grpSynchLog / mmoSynchLog (and grpSynchUnread / mmoSynchUnread).
    TClockLogPanel(const QString &prefix, bool withUnread, QWidget *parent = nullptr);

    void append(const QString &line);
    QStringList lines() const { return lines_; }
    // The lofts still to read; an empty list with a race chosen says that all are read.
    void setUnread(const QStringList &lofts, bool raceChosen);
    QStringList unread() const { return unread_; }

    QGroupBox *logBox() const { return logBox_; }
    QGroupBox *unreadBox() const { return unreadBox_; }

private:
    QGroupBox *logBox_;
    QPlainTextEdit *log_;
    QGroupBox *unreadBox_ = nullptr;
    QPlainTextEdit *unreadText_ = nullptr;
    QStringList lines_;
    QStringList unread_;
};
