#pragma once

#include "clockops/clocksession.h"
#include "store/operationsink.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <memory>

class TdmORVS;
class TWinApiV8;

// Runs the clock page's passes and polls on a thread of their own, so that the page stays
// responsive while a command waits for its reply. The worker owns the driver, its own connection
// to the club database and the page's session state; the page talks to it by queued calls only.
class ClockWorker : public QObject
{
    Q_OBJECT
public:
    enum Job { Sync, Marked, Result, Multi };
    Q_ENUM(Job)

    explicit ClockWorker(const QString &dataFolder);
    ~ClockWorker() override;

public slots:
    void start();  // creates the connection and the driver on the worker's thread
    void stop();   // frees them (before the thread ends)
    void run(int job);
    void setSyncAll(bool on);
    void clearPreDevice();
    void chooseRace(const QString &raceCode);

signals:
    void message(const QString &text, int kind);
    void cleared();
    void progress(int done, int total, const QString &what);
    void beep();
    // A job ended; outcome is a PollOutcome, startDate the multi-race view's first day.
    void finished(int job, int outcome, const QString &loftNo, const QDate &startDate);
    void failed(int job, const QString &error); // a database or driver error ended the job
    void raceChosen(const QString &raceCode, const QString &liberCode, bool found);
    // One line of the tab's lasting log for a clock handled (before `finished`).
    void logged(int job, const QString &line);

private:
    class Sink;
    QString dataFolder_;
    std::unique_ptr<TdmORVS> dm_;
    std::unique_ptr<TWinApiV8> api_;
    std::unique_ptr<Sink> sink_;
    ClockSession session_;
};
