#include "app/program/virtualclocks.h"

#include "clockops/clockstamp.h"
#include "races/raceinfo.h"
#include "sim/clocksimulator.h"
#include "store/appclock.h"
#include "store/tdmorvs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMutexLocker>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

TfrmVirtualClocks::TfrmVirtualClocks(ClockSimulator &sim, TdmORVS &dm, QWidget *parent)
    : QWidget(parent, Qt::Tool), sim_(sim), dm_(dm)
{
    setObjectName(QStringLiteral("frmVirtualClocks"));
    setWindowTitle(QStringLiteral("Virtual clocks"));
    clocks_ = new QListWidget(this);
    clocks_->setObjectName(QStringLiteral("lstClocks"));
    races_ = new QComboBox(this);
    races_->setObjectName(QStringLiteral("cbbSimRace"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lbSimStatus"));
    status_->setWordWrap(true);
    // Room for the longest message, so the buttons do not move when one appears.
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 4);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *btnConnect = new QPushButton(QStringLiteral("&Connect"), this);
    btnConnect->setObjectName(QStringLiteral("btnSimConnect"));
    auto *btnDisconnect = new QPushButton(QStringLiteral("&Disconnect"), this);
    btnDisconnect->setObjectName(QStringLiteral("btnSimDisconnect"));
    auto *btnMark = new QPushButton(QStringLiteral("&Basket birds"), this);
    btnMark->setObjectName(QStringLiteral("btnSimMark"));
    btnMark->setToolTip(QStringLiteral("Mark every bird of the connected clock for the race"));
    auto *btnArrive = new QPushButton(QStringLiteral("Birds &arrive"), this);
    btnArrive->setObjectName(QStringLiteral("btnSimArrive"));
    btnArrive->setToolTip(QStringLiteral("Let the marked birds come home and stop the race on the clock"));
    connect(btnConnect, &QPushButton::clicked, this, &TfrmVirtualClocks::connectSelected);
    connect(clocks_, &QListWidget::itemDoubleClicked, this, &TfrmVirtualClocks::connectSelected);
    connect(btnDisconnect, &QPushButton::clicked, this, &TfrmVirtualClocks::disconnectAll);
    connect(btnMark, &QPushButton::clicked, this, &TfrmVirtualClocks::markBirds);
    connect(btnArrive, &QPushButton::clicked, this, &TfrmVirtualClocks::letBirdsArrive);

    auto *connectRow = new QHBoxLayout;
    connectRow->addWidget(btnConnect);
    connectRow->addWidget(btnDisconnect);
    auto *raceRow = new QHBoxLayout;
    raceRow->addWidget(btnMark);
    raceRow->addWidget(btnArrive);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(QStringLiteral("<b>Clocks at the club antenna</b><br>One clock is connected at a time."),
                              this));
    lay->addWidget(clocks_, 1);
    lay->addLayout(connectRow);
    lay->addWidget(new QLabel(QStringLiteral("Race in the connected clock:"), this));
    lay->addWidget(races_);
    lay->addLayout(raceRow);
    lay->addWidget(status_);
    resize(290, 440);
    refresh();
}

int TfrmVirtualClocks::clockOffsetSeconds(int clock) const
{
    // Each clock runs a little off the master time, so the variation shows in the results.
    return (clock % 3 - 1) * 2;
}

void TfrmVirtualClocks::refresh()
{
    QMutexLocker lock(&sim_.mutex());
    const int row = clocks_->currentRow();
    clocks_->clear();
    for (int i = 0; i < sim_.clockCount(); ++i) {
        const SimDevice &c = sim_.clock(i);
        const QString name = dm_.scalar(QStringLiteral("SELECT LoftName FROM ORV_LoftData WHERE LoftNo=?"), {c.owner})
                                 .toString();
        const bool on = sim_.connectedClock() == i;
        auto *item = new QListWidgetItem(QStringLiteral("%1 %2  loft %3  %4").arg(on ? QStringLiteral("●") : QStringLiteral("○"),
                                                                                c.deviceNo, c.owner, name));
        if (on) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        clocks_->addItem(item);
    }
    clocks_->setCurrentRow(row >= 0 ? row : qMax(0, sim_.connectedClock()));
    const QString previous = races_->currentText();
    races_->clear();
    if (sim_.connectedClock() >= 0)
        for (const SimRace &r : sim_.clock(sim_.connectedClock()).races)
            races_->addItem(r.code());
    races_->setCurrentIndex(qMax(0, races_->findText(previous)));
}

void TfrmVirtualClocks::connectSelected()
{
    {
        QMutexLocker lock(&sim_.mutex());
        sim_.connectClock(clocks_->currentRow());
    }
    status_->setText(QStringLiteral("Clock %1 connected.").arg(clocks_->currentRow() + 1));
    refresh();
}

void TfrmVirtualClocks::disconnectAll()
{
    {
        QMutexLocker lock(&sim_.mutex());
        sim_.disconnectClock();
    }
    status_->setText(QStringLiteral("No clock connected."));
    refresh();
}

void TfrmVirtualClocks::markBirds()
{
    QMutexLocker lock(&sim_.mutex());
    const int i = sim_.connectedClock();
    const QString race = races_->currentText();
    if (i < 0 || race.isEmpty()) {
        status_->setText(QStringLiteral("Connect a synchronised clock and choose one of its races first."));
        return;
    }
    SimDevice &c = sim_.clock(i);
    // Basketing is the evening before the race: twelve hours before its liberation.
    const SimRace *r = c.race(race);
    const qint64 liberation = r ? r->fields.number(QStringLiteral("LiberTime")) : 0;
    const qint64 basket = liberation > 0 ? liberation - 12 * 3600000LL : ClockStamp::fromLocal(AppClock::now());
    c.markRace(race, basket + clockOffsetSeconds(i) * 1000, basket);
    int n = 0;
    for (const SimPigeon &p : c.pigeons)
        if (c.markPigeon(p.assocNum(), race, basket + (n + 1) * 4000, int(QRandomGenerator::global()->bounded(256))))
            ++n;
    // Basketing happens with the clock off the antenna; put back, the page reads it anew.
    sim_.replugClock(i);
    status_->setText(QStringLiteral("%1 birds basketed for %2. The clock is put back on the antenna: the Marked "
                                    "Upload tab reads it.")
                         .arg(n)
                         .arg(race));
}

void TfrmVirtualClocks::letBirdsArrive()
{
    QMutexLocker lock(&sim_.mutex());
    const int i = sim_.connectedClock();
    const QString race = races_->currentText();
    if (i < 0 || race.isEmpty()) {
        status_->setText(QStringLiteral("Connect a clock and choose one of its races first."));
        return;
    }
    SimDevice &c = sim_.clock(i);
    const SimRace *r = c.race(race);
    const qint64 liberation = r ? r->fields.number(QStringLiteral("LiberTime")) : 0;
    const QString liberCode = r ? r->fields.text(QStringLiteral("LiberCode")) : QString();
    const qint64 metres = Races::loftDistance(dm_, liberCode, c.owner, 0);
    const qint64 offset = clockOffsetSeconds(i) * 1000;
    int n = 0, lost = 0, index = 0;
    for (const SimPigeon &p : c.pigeons) {
        const SimRaceRecord *rec = c.record(p.assocNum());
        if (!rec || rec->raceCode() != race || rec->arrived())
            continue;
        // A few birds do not come home: the fourth basketed of every clock.
        if (index++ == LostBird) {
            ++lost;
            continue;
        }
        // 1000 to 1400 metres a minute.
        const double speed = 1000 + QRandomGenerator::global()->bounded(400.0);
        const qint64 flight = metres > 0 ? qint64(metres / speed * 60000.0) : 3600000 + n * 60000;
        c.arrive(p.assocNum(), liberation + flight + offset, 183600000 + n * 1000, 14527005, true,
                 int(QRandomGenerator::global()->bounded(256)));
        ++n;
    }
    const qint64 master = ClockStamp::fromLocal(AppClock::now());
    c.stopRace(race, master + offset, master);
    sim_.replugClock(i);
    status_->setText(QStringLiteral("%1 birds arrived in %2, %3 still missing; the race is stopped and the clock put "
                                    "back on the antenna: the Result Upload tab reads it.")
                         .arg(n)
                         .arg(race)
                         .arg(lost));
}
