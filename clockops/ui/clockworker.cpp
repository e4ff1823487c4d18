#include "clockops/ui/clockworker.h"

#include "clockops/clocklog.h"
#include "clockops/markedupload.h"
#include "clockops/multiupload.h"
#include "clockops/racechoice.h"
#include "clockops/resultupload.h"
#include "clockops/syncpass.h"
#include "device/twinapiv8.h"
#include "store/appclock.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

class ClockWorker::Sink : public OperationSink
{
public:
    explicit Sink(ClockWorker *w) : w_(w) {}
    void message(const QString &text, MessageKind kind) override
    {
        if (kind == MessageKind::Failure && firstFailure.isEmpty())
            firstFailure = text;
        emit w_->message(text, static_cast<int>(kind));
    }
    Answer ask(const QString &, bool) override { return Answer::No; } // the clock passes ask nothing
    void beep() override { emit w_->beep(); }
    void clearMessages() override { emit w_->cleared(); }
    void progress(int done, int total, const QString &what) override { emit w_->progress(done, total, what); }

    QString firstFailure; // of the job running, for its log line

private:
    ClockWorker *w_;
};

ClockWorker::ClockWorker(const QString &dataFolder) : dataFolder_(dataFolder), sink_(std::make_unique<Sink>(this)) {}

ClockWorker::~ClockWorker() = default;

void ClockWorker::start()
{
    try {
        dm_ = std::make_unique<TdmORVS>(dataFolder_);
    } catch (const SqlError &e) {
        emit failed(-1, e.message());
        return;
    }
    api_ = std::make_unique<TWinApiV8>(sink_.get());
    session_.AntennaOwner = ClubSettings::load(*dm_).clubId;
}

void ClockWorker::stop()
{
    api_.reset();
    dm_.reset();
}

void ClockWorker::setSyncAll(bool on)
{
    session_.SyncAllFlag = on;
}

void ClockWorker::clearPreDevice()
{
    session_.PreDeviceno.clear();
}

void ClockWorker::chooseRace(const QString &raceCode)
{
    const bool found = dm_ && RaceChoice::choose(*dm_, raceCode, session_);
    emit raceChosen(session_.CurRaceCode, session_.CurLiberCode, found);
}

void ClockWorker::run(int job)
{
    if (!dm_ || !api_) {
        emit failed(job, QStringLiteral("The clock link is not ready."));
        return;
    }
    PollOutcome outcome = PollOutcome::NoClock;
    QDate startDate;
    ClockLog::Entry log;
    sink_->firstFailure.clear();
    try {
        switch (job) {
        case Sync: {
            SyncPass pass(*dm_, *api_, session_, *sink_);
            outcome = pass.run();
            log.stage = ClockLog::Stage::Sync;
            log.synced = pass.succeeded();
            break;
        }
        case Marked: {
            MarkedUpload m(*dm_, *api_, session_, *sink_);
            outcome = m.poll();
            log.stage = ClockLog::Stage::Marked;
            log.count = m.count();
            break;
        }
        case Result: {
            ResultUpload r(*dm_, *api_, session_, *sink_);
            outcome = r.poll();
            log.stage = ClockLog::Stage::Result;
            log.count = r.stored();
            break;
        }
        case Multi: {
            MultiUpload m(*dm_, *api_, session_, *sink_);
            outcome = m.poll();
            startDate = m.startDate();
            log.stage = ClockLog::Stage::Multi;
            log.count = m.stored();
            break;
        }
        default:
            return;
        }
        log.at = AppClock::now().time();
        log.outcome = outcome;
        log.loftNo = session_.CurLoftNo;
        log.loftName = ClockLog::loftName(*dm_, session_.CurLoftNo);
        log.deviceNo = session_.CurDeviceNo;
        log.firstFailure = sink_->firstFailure;
    } catch (const SqlError &e) {
        emit failed(job, e.message());
        return;
    }
    const QString line = ClockLog::line(log);
    if (!line.isEmpty())
        emit logged(job, line);
    emit finished(job, static_cast<int>(outcome), session_.CurLoftNo, startDate);
}
