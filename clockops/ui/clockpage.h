#pragma once

#include "app/ui/page.h"
#include "clockops/clockviews.h"
#include "clockops/ui/clockworker.h"

#include <QDate>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QThread;
class QTimer;
class TDBGrid;
class TClockLogPanel;
class TMessageArea;

// The Clock Operation page: synchronise clocks, read marked birds, race results and the results
// of every race a clock holds, one clock after another. The passes run on the ClockWorker's thread.
class TfrmSynch_10_TC : public TPage
{
    Q_OBJECT
public:
    explicit TfrmSynch_10_TC(TdmORVS &dm, QWidget *parent = nullptr);
    ~TfrmSynch_10_TC() override;

    void FormShow() override;
    // Keeps the tab, the chosen races and the logs for the page's next showing in this run.
    void FormClose() override;
    void Caption_Language_Update();

    void butSyncNowClick();
    void btnSyncAllClick();
    void butSyncAutoClick();
    void butSyncStopClick();
    void PageControl1Change(int index);
    void cbbRaceCodeClick(int index);
    void cbbTimer_UPLClick(int index);
    void btnExportMarkListClick();
    void btnResult_ExportClick();
    void btnMarkUpLdPrtClick();
    void btnPrintClick();

    bool busy() const { return busy_; }
    TMessageArea *area(ClockWorker::Job job) const;
    TClockLogPanel *logPanel(ClockWorker::Job job) const;
    bool autoSync() const { return autoSync_; }

    QTabWidget *PageControl1;
    QPushButton *butSyncNow, *butSyncAuto, *btnSyncAll, *butSyncStop, *btnMarkUpLdPrt, *btnPrint;
    QLabel *lbAutoOn;
    TClockLogPanel *logSynch, *logMark, *logResult, *logMulti;
    QComboBox *cbbRaceCode, *cbbTimer_UPL;
    QPushButton *btnExportMarkList, *btnResult_Export;
    TDBGrid *dbgrdMarking, *dbgrdTimerUPL, *dbgrdMultRaceUpLd;
    MarkedList *adoqMarking;
    ClockResultList *adoqTimerResult;
    MultiRaceList *qryMultiRaceUpLd;
    QLabel *lblTimerRseultSum;
    TMessageArea *mmoSynch, *mmoMark, *mmoResult, *mmoMultiRaceUpld;
    QTimer *timerSync, *timerMark, *timerResult, *tmrMuliRaceUpLd;

signals:
    void jobFinished(int job, int outcome);

private:
    void runJob(ClockWorker::Job job);
    void onFinished(int job, int outcome, const QString &loftNo, const QDate &startDate);
    void onFailed(int job, const QString &error);
    void onRaceChosen(const QString &raceCode, const QString &liberCode, bool found);
    void fillRaceCombo(QComboBox *box);
    void reloadResult();
    void refreshUnread();
    void setAutoSync(bool on);
    QString liberCodeOf(const QComboBox *box);
    // "Result 10011209 Quievrain": what is saved, with the race chosen in the box.
    QString fileNameFor(const QString &what, const QComboBox *box);
    QTimer *pollTimer(ClockWorker::Job job) const;
    void setBusy(bool on);
    bool pollActive(int job) const { return job >= 0 && job < 4 && polling_[job]; }

    QThread *thread_;
    ClockWorker *worker_;
    QProgressBar *progress_;
    QLabel *progressText_;
    QTimer *waitNote_;
    bool waitShown_ = false;
    bool busy_ = false;
    int runningJob_ = -1;
    bool autoSync_ = false;
    bool polling_[4] = {false, false, false, false}; // the poll of each tab is on
    QString raceCode_, liberCode_;
    QString markRace_, resultRace_; // chosen on the Marked and Result Upload tabs
    ClockWorker::Job raceTab_ = ClockWorker::Marked; // the tab whose race choice is pending
};
