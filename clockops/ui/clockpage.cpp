#include "clockops/ui/clockpage.h"

#include "app/ui/captionapply.h"
#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/statusnote.h"
#include "clockops/clocklog.h"
#include "clockops/clockexports.h"
#include "clockops/clockviews.h"
#include "clockops/ui/clocklogpanel.h"
#include "device/devicelink.h"
#include "clockops/racechoice.h"
#include "clockops/ui/messagearea.h"
#include "races/raceinfo.h"
#include "races/ranking.h"
#include "report/clockreports.h"
#include "report/ui/reportpreview.h"
#include "store/filename.h"
#include "store/recordtable.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

namespace {
QTimer *makePollTimer(QObject *owner, const char *name)
{
    auto *t = new QTimer(owner);
    t->setObjectName(QLatin1String(name));
    t->setInterval(2000);
    t->setSingleShot(false);
    return t;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    QPushButton *b = Controls::button(parent, name, text);
    b->setMinimumHeight(36);
    b->setMinimumWidth(120);
    return b;
}

using Controls::label;

// The coloured message area and, beside it, the tab's lasting log. The area keeps its place
// while hidden, so the log does not jump when a message comes and goes.
QHBoxLayout *messageRow(TMessageArea *area, TClockLogPanel *log)
{
    QSizePolicy sp = area->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    area->setSizePolicy(sp);
    auto *row = new QHBoxLayout;
    row->addWidget(area, 1, Qt::AlignTop);
    row->addWidget(log, 1);
    return row;
}

// What the page keeps for the rest of the program's run, per data folder: a look at another page
// on race day loses neither the tab, nor the races chosen, nor the logs of the clocks handled.
struct Kept
{
    int tab = 0;
    QString markRace, resultRace;
    QStringList logs[4];
};
std::map<QString, Kept> &kept()
{
    static std::map<QString, Kept> k;
    return k;
}
} // namespace

TfrmSynch_10_TC::TfrmSynch_10_TC(TdmORVS &dm, QWidget *parent) : TPage(QStringLiteral("frmSynch_10_TC"), dm, parent)
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    // Synchronise tab.
    auto *tsMatchIng = new QWidget;
    tsMatchIng->setObjectName(QStringLiteral("tsMatchIng"));
    auto *label2 = label(tsMatchIng, "Label2",
                           QStringLiteral("Please connect the Volucra clock to the club antenna (ring marker).\n"
                                          "Click \"Sync Now\" for a single clock or \"Sync Auto\" for several clocks in a row."));
    QFont big = label2->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    label2->setFont(big);
    butSyncNow = button(tsMatchIng, "butSyncNow", QStringLiteral("Sync &Now"));
    butSyncAuto = button(tsMatchIng, "butSyncAuto", QStringLiteral("Sync &Auto"));
    btnSyncAll = button(tsMatchIng, "btnSyncAll", QStringLiteral("Sync A&ll"));
    butSyncStop = button(tsMatchIng, "butSyncStop", QStringLiteral("S&top Auto"));
    butSyncStop->hide();
    butSyncAuto->setCheckable(true);
    lbAutoOn = label(tsMatchIng, "lbAutoOn",
                     QStringLiteral("Sync Auto is on: connect the clocks one after another."));
    lbAutoOn->setStyleSheet(QStringLiteral("QLabel { background: #FFFF00; color: black; padding: 4px 10px; "
                                           "font-weight: 600; }"));
    lbAutoOn->hide();
    mmoSynch = new TMessageArea(QStringLiteral("mmoSynch"), QStringLiteral("timerSyncMsg"), tsMatchIng);
    logSynch = new TClockLogPanel(QStringLiteral("Synch"), false, tsMatchIng);
    auto *syncButtons = new QHBoxLayout;
    syncButtons->addWidget(butSyncNow);
    syncButtons->addWidget(butSyncAuto);
    syncButtons->addWidget(btnSyncAll);
    syncButtons->addWidget(butSyncStop);
    syncButtons->addWidget(lbAutoOn);
    syncButtons->addStretch();
    auto *syncLay = new QVBoxLayout(tsMatchIng);
    syncLay->addWidget(label2);
    syncLay->addLayout(syncButtons);
    syncLay->addLayout(messageRow(mmoSynch, logSynch), 1);

    // Marked upload tab.
    auto *tsMarking = new QWidget;
    tsMarking->setObjectName(QStringLiteral("tsMarking"));
    cbbRaceCode = new QComboBox(tsMarking);
    cbbRaceCode->setObjectName(QStringLiteral("cbbRaceCode"));
    cbbRaceCode->setMinimumWidth(360);
    adoqMarking = new MarkedList(dm, ListLayout::Grid, this);
    dbgrdMarking = new TDBGrid(QStringLiteral("dbgrdMarking"), adoqMarking, tsMarking);
    mmoMark = new TMessageArea(QStringLiteral("mmoMark"), QStringLiteral("timerMarkMsg"), tsMarking);
    logMark = new TClockLogPanel(QStringLiteral("Mark"), true, tsMarking);
    auto *markTop = new QHBoxLayout;
    markTop->addWidget(label(tsMarking, "lbRaceCode", QStringLiteral("Race :")));
    markTop->addWidget(cbbRaceCode);
    markTop->addStretch();
    btnExportMarkList = button(tsMarking, "btnExportMarkList", QStringLiteral("Export Marked List"));
    connect(btnExportMarkList, &QPushButton::clicked, this, &TfrmSynch_10_TC::btnExportMarkListClick);
    markTop->addWidget(btnExportMarkList);
    btnMarkUpLdPrt = button(tsMarking, "btnMarkUpLdPrt", QStringLiteral("Print"));
    markTop->addWidget(btnMarkUpLdPrt);
    auto *markLay = new QVBoxLayout(tsMarking);
    markLay->addLayout(markTop);
    markLay->addLayout(messageRow(mmoMark, logMark));
    markLay->addWidget(dbgrdMarking, 1);

    // Result upload tab.
    auto *tsCrtTimerTrain = new QWidget;
    tsCrtTimerTrain->setObjectName(QStringLiteral("tsCrtTimerTrain"));
    cbbTimer_UPL = new QComboBox(tsCrtTimerTrain);
    cbbTimer_UPL->setObjectName(QStringLiteral("cbbTimer_UPL"));
    cbbTimer_UPL->setMinimumWidth(360);
    adoqTimerResult = new ClockResultList(dm, ListLayout::Grid, this);
    dbgrdTimerUPL = new TDBGrid(QStringLiteral("dbgrdTimerUPL"), adoqTimerResult, tsCrtTimerTrain);
    lblTimerRseultSum = Controls::valueLabel(tsCrtTimerTrain, "lblTimerRseultSum", QString());
    mmoResult = new TMessageArea(QStringLiteral("mmoResult"), QStringLiteral("timerResMsg"), tsCrtTimerTrain);
    logResult = new TClockLogPanel(QStringLiteral("Result"), true, tsCrtTimerTrain);
    auto *resTop = new QHBoxLayout;
    resTop->addWidget(label(tsCrtTimerTrain, "lbTimerRace", QStringLiteral("Race :")));
    resTop->addWidget(cbbTimer_UPL);
    resTop->addStretch();
    resTop->addWidget(lblTimerRseultSum);
    btnPrint = button(tsCrtTimerTrain, "btnPrint", QStringLiteral("Print"));
    resTop->addWidget(btnPrint);
    auto *resLay = new QVBoxLayout(tsCrtTimerTrain);
    resLay->addLayout(resTop);
    resLay->addLayout(messageRow(mmoResult, logResult));
    resLay->addWidget(dbgrdTimerUPL, 1);

    // Multi-race tab.
    auto *tsMultiRace = new QWidget;
    tsMultiRace->setObjectName(QStringLiteral("tsMultiRace"));
    qryMultiRaceUpLd = new MultiRaceList(dm, this);
    dbgrdMultRaceUpLd = new TDBGrid(QStringLiteral("dbgrdMultRaceUpLd"), qryMultiRaceUpLd, tsMultiRace);
    mmoMultiRaceUpld = new TMessageArea(QStringLiteral("mmoMultiRaceUpld"), QStringLiteral("tmrMultiRaceMsg"), tsMultiRace);
    logMulti = new TClockLogPanel(QStringLiteral("Multi"), false, tsMultiRace);
    auto *multiLay = new QVBoxLayout(tsMultiRace);
    btnResult_Export = button(tsMultiRace, "btnResult_Export", QStringLiteral("Result Export"));
    connect(btnResult_Export, &QPushButton::clicked, this, &TfrmSynch_10_TC::btnResult_ExportClick);
    auto *multiTop = new QHBoxLayout;
    multiTop->addWidget(label(tsMultiRace, "lbMultiHint",
                                QStringLiteral("Connect the clocks one after another: every race each clock holds is read.")));
    multiTop->addStretch();
    multiTop->addWidget(btnResult_Export);
    multiLay->addLayout(multiTop);
    multiLay->addLayout(messageRow(mmoMultiRaceUpld, logMulti));
    multiLay->addWidget(dbgrdMultRaceUpLd, 1);

    PageControl1->addTab(tsMatchIng, QStringLiteral("Synchronise Clock"));
    PageControl1->addTab(tsMarking, QStringLiteral("Marked Upload"));
    PageControl1->addTab(tsCrtTimerTrain, QStringLiteral("Result Upload"));
    PageControl1->addTab(tsMultiRace, QStringLiteral("WinSpeed  UpLoad"));

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pbProgress"));
    progress_->setMaximumWidth(260);
    progress_->hide();
    progressText_ = label(this, "lbProgress", QString());
    auto *status = new QHBoxLayout;
    status->addWidget(progressText_);
    status->addWidget(progress_);
    status->addStretch();

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 8);
    lay->addWidget(PageControl1, 1);
    lay->addLayout(status);

    timerSync = makePollTimer(this, "timerSync");
    timerMark = makePollTimer(this, "timerMark");
    timerResult = makePollTimer(this, "timerResult");
    tmrMuliRaceUpLd = makePollTimer(this, "tmrMuliRaceUpLd");
    // A poll switches its own timer off while it runs; the job's end switches it on again.
    connect(timerSync, &QTimer::timeout, this, [this] {
        mmoSynch->clearAndHide();
        timerSync->stop();
        runJob(ClockWorker::Sync);
    });
    connect(timerMark, &QTimer::timeout, this, [this] {
        timerMark->stop();
        runJob(ClockWorker::Marked);
    });
    connect(timerResult, &QTimer::timeout, this, [this] {
        timerResult->stop();
        runJob(ClockWorker::Result);
    });
    connect(tmrMuliRaceUpLd, &QTimer::timeout, this, [this] {
        tmrMuliRaceUpLd->stop();
        runJob(ClockWorker::Multi);
    });

    connect(butSyncNow, &QPushButton::clicked, this, &TfrmSynch_10_TC::butSyncNowClick);
    connect(btnSyncAll, &QPushButton::clicked, this, &TfrmSynch_10_TC::btnSyncAllClick);
    connect(butSyncAuto, &QPushButton::clicked, this, &TfrmSynch_10_TC::butSyncAutoClick);
    connect(butSyncStop, &QPushButton::clicked, this, &TfrmSynch_10_TC::butSyncStopClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmSynch_10_TC::PageControl1Change);
    connect(cbbRaceCode, QOverload<int>::of(&QComboBox::activated), this, &TfrmSynch_10_TC::cbbRaceCodeClick);
    connect(cbbTimer_UPL, QOverload<int>::of(&QComboBox::activated), this, &TfrmSynch_10_TC::cbbTimer_UPLClick);
    connect(btnMarkUpLdPrt, &QPushButton::clicked, this, &TfrmSynch_10_TC::btnMarkUpLdPrtClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmSynch_10_TC::btnPrintClick);

    thread_ = new QThread(this);
    worker_ = new ClockWorker(dm.dataFolder());
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &ClockWorker::message, this, [this](const QString &text, int kind) {
        if (TMessageArea *a = area(static_cast<ClockWorker::Job>(runningJob_ < 0 ? 0 : runningJob_)))
            a->show(text, static_cast<MessageKind>(kind));
    });
    connect(worker_, &ClockWorker::cleared, this, [this] {
        if (TMessageArea *a = area(static_cast<ClockWorker::Job>(runningJob_ < 0 ? 0 : runningJob_)))
            a->clearAndHide();
    });
    connect(worker_, &ClockWorker::progress, this, [this](int done, int total, const QString &what) {
        progress_->setMaximum(total);
        progress_->setValue(done);
        progress_->show();
        progressText_->setText(QStringLiteral("%1 %2 of %3").arg(what).arg(done).arg(total));
    });
    connect(worker_, &ClockWorker::beep, this, [] { QApplication::beep(); });
    connect(worker_, &ClockWorker::finished, this, &TfrmSynch_10_TC::onFinished);
    connect(worker_, &ClockWorker::failed, this, &TfrmSynch_10_TC::onFailed);
    connect(worker_, &ClockWorker::raceChosen, this, &TfrmSynch_10_TC::onRaceChosen);
    connect(worker_, &ClockWorker::logged, this, [this](int job, const QString &line) {
        if (TClockLogPanel *p = logPanel(static_cast<ClockWorker::Job>(job)))
            p->append(line);
    });
    waitNote_ = new QTimer(this);
    waitNote_->setSingleShot(true);
    waitNote_->setInterval(400);
    // A pass that takes longer than a glance is waiting on the antenna: say so and where.
    connect(waitNote_, &QTimer::timeout, this, [this] {
        if (busy_) {
            StatusNote::show(this, QStringLiteral("Waiting for the antenna on %1 …").arg(DeviceLink::describe()), 0);
            waitShown_ = true;
        }
    });
    thread_->start();
    QMetaObject::invokeMethod(worker_, &ClockWorker::start, Qt::QueuedConnection);
}

TfrmSynch_10_TC::~TfrmSynch_10_TC()
{
    for (QTimer *t : {timerSync, timerMark, timerResult, tmrMuliRaceUpLd})
        t->stop();
    // The driver and the connection end on their own thread, after any job still running.
    QMetaObject::invokeMethod(worker_, &ClockWorker::stop, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
}

TMessageArea *TfrmSynch_10_TC::area(ClockWorker::Job job) const
{
    switch (job) {
    case ClockWorker::Sync: return mmoSynch;
    case ClockWorker::Marked: return mmoMark;
    case ClockWorker::Result: return mmoResult;
    case ClockWorker::Multi: return mmoMultiRaceUpld;
    }
    return mmoSynch;
}

TClockLogPanel *TfrmSynch_10_TC::logPanel(ClockWorker::Job job) const
{
    switch (job) {
    case ClockWorker::Sync: return logSynch;
    case ClockWorker::Marked: return logMark;
    case ClockWorker::Result: return logResult;
    case ClockWorker::Multi: return logMulti;
    }
    return logSynch;
}

QTimer *TfrmSynch_10_TC::pollTimer(ClockWorker::Job job) const
{
    switch (job) {
    case ClockWorker::Sync: return timerSync;
    case ClockWorker::Marked: return timerMark;
    case ClockWorker::Result: return timerResult;
    case ClockWorker::Multi: return tmrMuliRaceUpLd;
    }
    return timerSync;
}

void TfrmSynch_10_TC::FormShow()
{
    mmoSynch->clearAndHide();
    adoqTimerResult->refreshTitles();
    Caption_Language_Update();
    const auto it = kept().find(dm().dataFolder());
    if (it == kept().end())
        return;
    const Kept k = it->second;
    TClockLogPanel *panels[] = {logSynch, logMark, logResult, logMulti};
    for (int i = 0; i < 4; ++i)
        for (const QString &line : k.logs[i])
            panels[i]->append(line);
    PageControl1->setCurrentIndex(k.tab);
    // The race of the tab shown is chosen again, so its poll goes on as before.
    const auto choose = [](QComboBox *box, const QString &code) {
        const int i = code.isEmpty() ? -1 : box->findData(code);
        if (i >= 0)
            box->setCurrentIndex(i);
        return i;
    };
    if (k.tab == 1) {
        if (const int i = choose(cbbRaceCode, k.markRace); i >= 0)
            cbbRaceCodeClick(i);
    } else if (k.tab == 2) {
        if (const int i = choose(cbbTimer_UPL, k.resultRace); i >= 0)
            cbbTimer_UPLClick(i);
    }
}

void TfrmSynch_10_TC::FormClose()
{
    Kept k;
    k.tab = PageControl1->currentIndex();
    k.markRace = markRace_;
    k.resultRace = resultRace_;
    const TClockLogPanel *panels[] = {logSynch, logMark, logResult, logMulti};
    for (int i = 0; i < 4; ++i)
        k.logs[i] = panels[i]->lines();
    kept()[dm().dataFolder()] = k;
}

void TfrmSynch_10_TC::Caption_Language_Update()
{
    using K = Captions::Kind;
    applyCaptions(this, formName(), {K::Grid, K::Label, K::Button, K::RadioGroup, K::GroupBox, K::CheckBox,
                                     K::PageControl},
                  dm());
}

void TfrmSynch_10_TC::setBusy(bool on)
{
    busy_ = on;
    // A click while a pass runs must not start a second one on the link.
    for (QPushButton *b : {butSyncNow, butSyncAuto, btnSyncAll})
        b->setEnabled(!on);
    if (on) {
        waitNote_->start();
    } else {
        waitNote_->stop();
        if (waitShown_)
            StatusNote::clear(this);
        waitShown_ = false;
        progress_->hide();
        progressText_->clear();
    }
}

void TfrmSynch_10_TC::runJob(ClockWorker::Job job)
{
    if (busy_)
        return;
    runningJob_ = job;
    setBusy(true);
    QMetaObject::invokeMethod(worker_, "run", Qt::QueuedConnection, Q_ARG(int, job));
}

void TfrmSynch_10_TC::butSyncNowClick()
{
    if (busy_)
        return;
    QMetaObject::invokeMethod(worker_, &ClockWorker::clearPreDevice, Qt::QueuedConnection);
    QMetaObject::invokeMethod(worker_, "setSyncAll", Qt::QueuedConnection, Q_ARG(bool, false));
    runJob(ClockWorker::Sync);
}

void TfrmSynch_10_TC::btnSyncAllClick()
{
    if (busy_)
        return;
    QMetaObject::invokeMethod(worker_, "setSyncAll", Qt::QueuedConnection, Q_ARG(bool, true));
    QMetaObject::invokeMethod(worker_, &ClockWorker::clearPreDevice, Qt::QueuedConnection);
    runJob(ClockWorker::Sync);
}

void TfrmSynch_10_TC::butSyncAutoClick()
{
    if (autoSync_) {
        butSyncStopClick();
        return;
    }
    setAutoSync(true);
    QMetaObject::invokeMethod(worker_, "setSyncAll", Qt::QueuedConnection, Q_ARG(bool, false));
    timerSync->start();
}

void TfrmSynch_10_TC::butSyncStopClick()
{
    // A pass already running ends; no further one starts.
    setAutoSync(false);
    timerSync->stop();
}

void TfrmSynch_10_TC::setAutoSync(bool on)
{
    autoSync_ = on;
    butSyncAuto->setChecked(on);
    butSyncStop->setVisible(on);
    lbAutoOn->setVisible(on);
}

void TfrmSynch_10_TC::onFinished(int job, int outcome, const QString &loftNo, const QDate &startDate)
{
    runningJob_ = -1;
    setBusy(false);
    const bool onItsTab = (job == ClockWorker::Sync && PageControl1->currentIndex() == 0) ||
                          (job == ClockWorker::Marked && PageControl1->currentIndex() == 1) ||
                          (job == ClockWorker::Result && PageControl1->currentIndex() == 2) ||
                          (job == ClockWorker::Multi && PageControl1->currentIndex() == 3);
    switch (job) {
    case ClockWorker::Marked:
        if (outcome == static_cast<int>(PollOutcome::Done)) {
            adoqMarking->load(raceCode_, true);
            refreshUnread();
        }
        break;
    case ClockWorker::Result:
        if (outcome == static_cast<int>(PollOutcome::Done)) {
            reloadResult();
            refreshUnread();
        }
        break;
    case ClockWorker::Multi:
        if (outcome == static_cast<int>(PollOutcome::Done))
            qryMultiRaceUpLd->load(loftNo, startDate);
        break;
    default:
        break;
    }
    // Polls go on only while their tab is shown (a tab change switched them off).
    if (onItsTab && (job == ClockWorker::Sync ? autoSync_ : pollActive(job)))
        pollTimer(static_cast<ClockWorker::Job>(job))->start();
    emit jobFinished(job, outcome);
}

void TfrmSynch_10_TC::onFailed(int job, const QString &error)
{
    runningJob_ = -1;
    setBusy(false);
    if (job == ClockWorker::Sync)
        setAutoSync(false); // a database or driver error ends automatic mode
    if (job >= 0 && job < 4)
        polling_[job] = false;
    Dialogs::error(this, error);
    emit jobFinished(job, -1);
}

void TfrmSynch_10_TC::PageControl1Change(int index)
{
    for (QTimer *t : {timerSync, timerMark, timerResult, tmrMuliRaceUpLd})
        t->stop();
    for (TMessageArea *a : {mmoSynch, mmoMark, mmoResult, mmoMultiRaceUpld})
        a->clearAndHide();
    setAutoSync(false);
    for (bool &p : polling_)
        p = false;
    QMetaObject::invokeMethod(worker_, &ClockWorker::clearPreDevice, Qt::QueuedConnection);
    if (index == 1) {
        fillRaceCombo(cbbRaceCode);
    } else if (index == 2) {
        fillRaceCombo(cbbTimer_UPL);
    } else if (index == 3) {
        polling_[ClockWorker::Multi] = true;
        tmrMuliRaceUpLd->start();
    }
}

void TfrmSynch_10_TC::fillRaceCombo(QComboBox *box)
{
    box->clear();
    for (const auto &item : RaceChoice::items(dm()))
        box->addItem(item.text, item.raceCode);
    box->setCurrentIndex(-1);
}

void TfrmSynch_10_TC::cbbRaceCodeClick(int index)
{
    const QString code = index >= 0 ? cbbRaceCode->itemData(index).toString() : QString();
    if (code.isEmpty()) {
        Dialogs::error(this, QStringLiteral("Please. Select Race Code !"));
        return;
    }
    raceTab_ = ClockWorker::Marked;
    markRace_ = code;
    QMetaObject::invokeMethod(worker_, "chooseRace", Qt::QueuedConnection, Q_ARG(QString, code));
}

void TfrmSynch_10_TC::cbbTimer_UPLClick(int index)
{
    const QString code = index >= 0 ? cbbTimer_UPL->itemData(index).toString() : QString();
    if (code.isEmpty())
        return;
    raceTab_ = ClockWorker::Result;
    resultRace_ = code;
    QMetaObject::invokeMethod(worker_, "chooseRace", Qt::QueuedConnection, Q_ARG(QString, code));
}

void TfrmSynch_10_TC::onRaceChosen(const QString &raceCode, const QString &liberCode, bool found)
{
    if (!found)
        return;
    raceCode_ = raceCode;
    liberCode_ = liberCode;
    refreshUnread();
    if (raceTab_ == ClockWorker::Marked) {
        adoqMarking->load(raceCode_, false);
        polling_[ClockWorker::Marked] = true;
        if (!busy_)
            timerMark->start();
    } else {
        reloadResult();
        polling_[ClockWorker::Result] = true;
        if (!busy_)
            timerResult->start();
    }
}

QString TfrmSynch_10_TC::liberCodeOf(const QComboBox *box)
{
    const auto race = Races::findRace(dm(), box->currentData().toString());
    return race ? race->liberCode : QString();
}

QString TfrmSynch_10_TC::fileNameFor(const QString &what, const QComboBox *box)
{
    const auto race = Races::findRace(dm(), box->currentData().toString());
    return race ? FileName::of({what, race->raceCode, race->liberSite}) : FileName::of({what});
}

void TfrmSynch_10_TC::btnMarkUpLdPrtClick()
{
    const auto report =
        ClockReports::markedList(dm(), *adoqMarking, cbbRaceCode->currentText(), liberCodeOf(cbbRaceCode));
    report->setFileName(fileNameFor(QStringLiteral("Marked"), cbbRaceCode));
    ReportPreview::show(this, *report, ClubSettings::load(dm()).printCount);
}

void TfrmSynch_10_TC::btnPrintClick()
{
    // The result poll stays off until a race is chosen again.
    timerResult->stop();
    polling_[ClockWorker::Result] = false;
    const auto report =
        ClockReports::raceResult(dm(), *adoqTimerResult, cbbTimer_UPL->currentText(), liberCodeOf(cbbTimer_UPL));
    report->setFileName(fileNameFor(QStringLiteral("Result"), cbbTimer_UPL));
    ReportPreview::show(this, *report, ClubSettings::load(dm()).printCount);
}

void TfrmSynch_10_TC::reloadResult()
{
    adoqTimerResult->load(raceCode_);
    lblTimerRseultSum->setText(Ranking::summary(dm(), raceCode_, adoqTimerResult->rowCount()).text());
}

void TfrmSynch_10_TC::refreshUnread()
{
    const bool chosen = !raceCode_.isEmpty();
    logMark->setUnread(chosen ? ClockLog::unreadLofts(dm(), raceCode_, ClockLog::Stage::Marked) : QStringList(),
                       chosen);
    logResult->setUnread(chosen ? ClockLog::unreadLofts(dm(), raceCode_, ClockLog::Stage::Result) : QStringList(),
                         chosen);
}

void TfrmSynch_10_TC::btnExportMarkListClick()
{
    if (raceCode_.isEmpty())
        return;
    const QString path = Dialogs::saveFile(this, btnExportMarkList->text(), QStringLiteral("Excel File (*.xlsx)"),
                                           fileNameFor(QStringLiteral("Marked"), cbbRaceCode) + QStringLiteral(".xlsx"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    ClockExports::saveMarked(dm(), raceCode_, path, sink);
}

void TfrmSynch_10_TC::btnResult_ExportClick()
{
    const QString path = Dialogs::saveFile(this, btnResult_Export->text(), QStringLiteral("Excel File (*.xlsx)"),
                                           QStringLiteral("Multi-race result.xlsx"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    ClockExports::saveMulti(*qryMultiRaceUpLd, path, sink);
}
