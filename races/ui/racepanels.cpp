// The Races page's panels reached from the action list: distances, distance download, result,
// status and the other-clock entry.
#include "races/ui/racepage.h"

#include "app/ui/controls.h"

#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/statusnote.h"
#include "races/distances.h"
#include "races/otherclock.h"
#include "races/racelists.h"
#include "races/ranking.h"
#include "races/ui/distancedelegate.h"
#include "races/ui/racewidgets.h"
#include "report/racereports.h"
#include "report/ui/reportpreview.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace RaceWidgets;

namespace {
QTableView *distanceGrid(QWidget *parent, const char *name, DistanceList *model, TfrmRace_TC *page)
{
    auto *v = new QTableView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setItemDelegate(new DistanceDelegate(v));
    QObject::connect(model, &DistanceList::refused, page,
                     [page](const QString &why) { Dialogs::error(page, why); });
    v->setSelectionBehavior(QAbstractItemView::SelectItems);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                       QAbstractItemView::EditKeyPressed);
    v->setAlternatingRowColors(true);
    v->verticalHeader()->hide();
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 6);
    GridFit::apply(v);
    v->horizontalHeader()->setSectionsClickable(true);
    QObject::connect(v->horizontalHeader(), &QHeaderView::sectionClicked, page, [page, model](int section) {
        page->gridTitleClick(model, model->columns().at(static_cast<size_t>(section)).field);
    });
    return v;
}

QWidget *buttonRow(QWidget *parent, std::initializer_list<QWidget *> left,
                   std::initializer_list<QWidget *> right)
{
    auto *w = new QWidget(parent);
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget *b : left)
        h->addWidget(b);
    h->addStretch();
    for (QWidget *b : right)
        h->addWidget(b);
    return w;
}
} // namespace

void TfrmRace_TC::buildDistances()
{
    pnlLoftLibPointDist = panel(this, "pnlLoftLibPointDist");
    lblLoftLibDistTitle = Controls::valueLabel(pnlLoftLibPointDist, "lblLoftLibDistTitle",
                                               QStringLiteral("Member loft distance to "));
    setTitleFont(lblLoftLibDistTitle);
    lblDistMethod = Controls::valueLabel(pnlLoftLibPointDist, "lblDistMethod", QString());
    adotLoftRaceDist = new DistanceList(dm(), false, ListLayout::Grid, this);
    dbgrdLoftLibDist = distanceGrid(pnlLoftLibPointDist, "dbgrdLoftLibDist", adotLoftRaceDist, this);
    auto *update = button(pnlLoftLibPointDist, "btnLoftDistUpdate", QStringLiteral("LoftDistUpdate"));
    auto *note =
        label(pnlLoftLibPointDist, "lblDistNote",
              QStringLiteral("Select button only when coordinates \n   are used to caculate distances"));
    auto *ok = button(pnlLoftLibPointDist, "btnLoftLibDist", QStringLiteral("OK"));
    auto *print = button(pnlLoftLibPointDist, "butPrtLoftRaceDist", QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, &TfrmRace_TC::butPrtLoftRaceDistClick);
    connect(update, &QPushButton::clicked, this, &TfrmRace_TC::btnLoftDistUpdateClick);
    connect(ok, &QPushButton::clicked, this, &TfrmRace_TC::btnLoftLibDistClick);
    auto *lay = new QVBoxLayout(pnlLoftLibPointDist);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(lblLoftLibDistTitle);
    lay->addWidget(lblDistMethod);
    auto *row = new QHBoxLayout;
    row->addWidget(dbgrdLoftLibDist, 3);
    auto *side = new QVBoxLayout;
    side->addWidget(update);
    side->addWidget(note);
    side->addStretch();
    row->addLayout(side, 1);
    lay->addLayout(row, 1);
    lay->addWidget(buttonRow(pnlLoftLibPointDist, {print}, {ok}));

    pnlDistDownLoad = panel(this, "pnlDistDownLoad");
    lblDistDLTitle = label(pnlDistDownLoad, "lblDistDLTitle", QStringLiteral(" Race distance download "));
    setTitleFont(lblDistDLTitle);
    adotDistDL = new DistanceList(dm(), true, ListLayout::Grid, this);
    dbgridDistDL = distanceGrid(pnlDistDownLoad, "dbgridDistDL", adotDistDL, this);
    auto *choose = button(pnlDistDownLoad, "Button1", QStringLiteral("File Selected :"));
    labFilePath = label(pnlDistDownLoad, "labFilePath", QString());
    labFilePath->setMinimumWidth(300);
    labFilePath->setFrameShape(QFrame::StyledPanel);
    butDistDL = button(pnlDistDownLoad, "butDistDL", QStringLiteral("DownLoad"));
    auto *rpra = button(pnlDistDownLoad, "btnRPRAPrint", QStringLiteral("RPRA Form"));
    auto *back = button(pnlDistDownLoad, "btnDistDLOK", QStringLiteral("OK"));
    auto *dlPrint = button(pnlDistDownLoad, "butDistDLPrt", QStringLiteral("Print"));
    connect(dlPrint, &QPushButton::clicked, this, &TfrmRace_TC::butDistDLPrtClick);
    connect(choose, &QPushButton::clicked, this, &TfrmRace_TC::Button1Click);
    connect(butDistDL, &QPushButton::clicked, this, &TfrmRace_TC::butDistDLClick);
    connect(rpra, &QPushButton::clicked, this, &TfrmRace_TC::btnRPRAPrintClick);
    connect(back, &QPushButton::clicked, this, [this] { showOnly(pnlRacePoint); });
    auto *dl = new QVBoxLayout(pnlDistDownLoad);
    dl->setContentsMargins(0, 0, 0, 0);
    dl->addWidget(lblDistDLTitle);
    auto *file = new QHBoxLayout;
    file->addWidget(choose);
    file->addWidget(labFilePath, 1);
    file->addWidget(butDistDL);
    dl->addLayout(file);
    dl->addWidget(dbgridDistDL, 1);
    dl->addWidget(buttonRow(pnlDistDownLoad, {rpra, dlPrint}, {back}));
}

void TfrmRace_TC::buildResults()
{
    pnlRaceResult = panel(this, "pnlRaceResult");
    lbl1RaceResultTitle =
        Controls::valueLabel(pnlRaceResult, "lbl1RaceResultTitle", QStringLiteral("Result"));
    setTitleFont(lbl1RaceResultTitle);
    lblRaceHeading = Controls::valueLabel(pnlRaceResult, "lblRaceHeading", QString());
    lblRaceHeading->setStyleSheet(QStringLiteral("font-weight: 600;"));
    adoqRaceRec = new RaceResultList(dm(), ListLayout::Grid, this);
    adoqRaceRec->setObjectName(QStringLiteral("adoqRaceRec"));
    dbgrdRaceRec = new TDBGrid(QStringLiteral("dbgrdRaceRec"), adoqRaceRec, pnlRaceResult);
    connect(dbgrdRaceRec, &TDBGrid::titleClicked, this,
            [this](const QString &f) { gridTitleClick(adoqRaceRec, f); });
    lblRaceResultSum = Controls::valueLabel(pnlRaceResult, "lblRaceResultSum", QString());
    lblSunGaps = Controls::valueLabel(pnlRaceResult, "lblSunGaps", QString());
    lblSunGaps->setStyleSheet(QStringLiteral("color: #c00000; font-weight: 600;"));
    lblSunGaps->hide();
    btnRaceRec = button(pnlRaceResult, "btnRaceRec", QStringLiteral("OK"));
    auto *recalc = button(pnlRaceResult, "btnRecaculate", QStringLiteral("FlySpeed Recalculate"));
    auto *print = button(pnlRaceResult, "butPrtRaceResult", QStringLiteral("Print"));
    auto *xls = button(pnlRaceResult, "btnResultExport_Excel", QStringLiteral("ResultExport_Excel"));
    auto *xml = button(pnlRaceResult, "btnResultExport_XML", QStringLiteral("ResultExport_XML"));
    connect(xls, &QPushButton::clicked, this, &TfrmRace_TC::butResultExportClick);
    connect(xml, &QPushButton::clicked, this, &TfrmRace_TC::btnResultExport_XMLClick);
    connect(print, &QPushButton::clicked, this, &TfrmRace_TC::butPrtRaceResultClick);
    connect(btnRaceRec, &QPushButton::clicked, this, &TfrmRace_TC::btnRaceRecClick);
    connect(recalc, &QPushButton::clicked, this, &TfrmRace_TC::btnRecaculateClick);
    btnPrizeList = button(pnlRaceResult, "btnPrizeList", QStringLiteral("Prize List"));
    connect(btnPrizeList, &QPushButton::clicked, this, &TfrmRace_TC::showPrizeList);

    grpRecaculate = new QGroupBox(QStringLiteral("FlySpeed Recalculate"), pnlRaceResult);
    grpRecaculate->setObjectName(QStringLiteral("grpRecaculate"));
    dtpRaceDate = dateEdit(grpRecaculate, "dtpRaceDate");
    dtpRaceTime = timeEdit(grpRecaculate, "dtpRaceTime");
    auto *go = button(grpRecaculate, "btnRecacute", QStringLiteral("Recalculate"));
    auto *exit = button(grpRecaculate, "btnExit", QStringLiteral("Exit"));
    connect(go, &QPushButton::clicked, this, &TfrmRace_TC::btnRecacuteClick);
    connect(exit, &QPushButton::clicked, this, &TfrmRace_TC::btnExitClick);
    Controls::formKeys(grpRecaculate, go, exit);
    auto *g = new QHBoxLayout(grpRecaculate);
    g->addWidget(label(grpRecaculate, "lbRaceDate", QStringLiteral("RaceDate :")));
    g->addWidget(dtpRaceDate);
    g->addWidget(label(grpRecaculate, "lbRaceTime", QStringLiteral("RaceTime :")));
    g->addWidget(dtpRaceTime);
    g->addStretch();
    g->addWidget(go);
    g->addWidget(exit);

    auto *lay = new QVBoxLayout(pnlRaceResult);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(lbl1RaceResultTitle);
    lay->addWidget(lblRaceHeading);
    lay->addWidget(dbgrdRaceRec, 1);
    lay->addWidget(lblRaceResultSum);
    lay->addWidget(lblSunGaps);
    lay->addWidget(grpRecaculate);
    lay->addWidget(buttonRow(pnlRaceResult, {recalc, btnPrizeList, print, xls, xml}, {btnRaceRec}));

    pnlLoftRaceStat = panel(this, "pnlLoftRaceStat");
    lblLoftRaceStatTiTle =
        Controls::valueLabel(pnlLoftRaceStat, "lblLoftRaceStatTiTle", QStringLiteral(" Status for "));
    setTitleFont(lblLoftRaceStatTiTle);
    adoqLoftRaceStat = new RaceStatusList(dm(), ListLayout::Grid, this);
    adoqLoftRaceStat->setObjectName(QStringLiteral("adoqLoftRaceStat"));
    dbgrdLoftRaceStat = new TDBGrid(QStringLiteral("dbgrdLoftRaceStat"), adoqLoftRaceStat, pnlLoftRaceStat);
    connect(dbgrdLoftRaceStat, &TDBGrid::titleClicked, this,
            [this](const QString &f) { gridTitleClick(adoqLoftRaceStat, f); });
    auto *statOk = button(pnlLoftRaceStat, "btnLoftRaceStat", QStringLiteral("OK"));
    auto *statPrint = button(pnlLoftRaceStat, "butPrtRaceStat", QStringLiteral("Print"));
    connect(statPrint, &QPushButton::clicked, this, &TfrmRace_TC::butPrtRaceStatClick);
    connect(statOk, &QPushButton::clicked, this, [this] { showOnly(pnlRacePoint); });
    auto *sl = new QVBoxLayout(pnlLoftRaceStat);
    sl->setContentsMargins(0, 0, 0, 0);
    sl->addWidget(lblLoftRaceStatTiTle);
    sl->addWidget(dbgrdLoftRaceStat, 1);
    sl->addWidget(buttonRow(pnlLoftRaceStat, {statPrint}, {statOk}));
}

void TfrmRace_TC::buildOtherClock()
{
    pnlOtherClosk = panel(this, "pnlOtherClosk");
    lblOtherClockTitle =
        Controls::valueLabel(pnlOtherClosk, "lblOtherClockTitle", QStringLiteral("Add/Edit Other Clock"));
    setTitleFont(lblOtherClockTitle);
    cbbLoftNo_OtherClock = new QComboBox(pnlOtherClosk);
    cbbLoftNo_OtherClock->setObjectName(QStringLiteral("cbbLoftNo_OtherClock"));
    cbbLoftNo_OtherClock->setMinimumWidth(220);
    connect(cbbLoftNo_OtherClock, QOverload<int>::of(&QComboBox::activated), this,
            [this] { cbbLoftNo_OtherClockClick(); });

    auto *times = new QGroupBox(QStringLiteral("Clock times"), pnlOtherClosk);
    times->setObjectName(QStringLiteral("grpClockTimes"));
    auto *tf = new QGridLayout(times);
    const auto pair = [&](int row, const char *lbl, const QString &text, QDateEdit *&d, const char *dn,
                          QTimeEdit *&t, const char *tn) {
        d = dateEdit(times, dn);
        t = timeEdit(times, tn);
        tf->addWidget(label(times, lbl, text), row, 0);
        tf->addWidget(d, row, 1);
        tf->addWidget(t, row, 2);
    };
    pair(0, "lbMarkMaster", QStringLiteral("Marked Master  set :"), dtpMarkMasterDate, "dtpMarkMasterDate",
         dtpMarkMasterTime, "dtpMarkMasterTime");
    pair(1, "lbMarkMember", QStringLiteral("Marked Member set :"), dtpMarkedDate, "dtpMarkedDate",
         dtpMarkedTime, "dtpMarkedTime");
    pair(2, "lbCloseMaster", QStringLiteral("Closed Master check :"), dtpMasterDate, "dtpMasterDate",
         dtpMasterTime, "dtpMasterTime");
    pair(3, "lbCloseMember", QStringLiteral("Closed Member check :"), dtpMemberDate, "dtpMemberDate",
         dtpMemberTime, "dtpMemberTime");

    auto *arrival = new QGroupBox(QStringLiteral("Arrival"), pnlOtherClosk);
    arrival->setObjectName(QStringLiteral("grpArrival"));
    edtSearch = edit(arrival, "edtSearch", 20, true);
    edtSearch->installEventFilter(this);
    connect(edtSearch, &QLineEdit::returnPressed, this, &TfrmRace_TC::edtSearchExit);
    connect(edtSearch, &QLineEdit::editingFinished, this, &TfrmRace_TC::edtSearchExit);
    cbbSelPigNo = new QComboBox(arrival);
    cbbSelPigNo->setObjectName(QStringLiteral("cbbSelPigNo"));
    cbbSelPigNo->setEditable(true);
    cbbSelPigNo->setInsertPolicy(QComboBox::NoInsert);
    connect(cbbSelPigNo, QOverload<int>::of(&QComboBox::activated), this, [this] { cbbSelPigNoClick(); });
    dtpSelPigDate = dateEdit(arrival, "dtpSelPigDate");
    dtpSelPigTime = timeEdit(arrival, "dtpSelPigTime");
    auto *addNew = button(arrival, "btnOtherClock_New", QStringLiteral("AddNew"));
    auto *save = button(arrival, "btnOtherClock_Save", QStringLiteral("Save"));
    connect(addNew, &QPushButton::clicked, this, &TfrmRace_TC::btnOtherClock_NewClick);
    connect(save, &QPushButton::clicked, this, &TfrmRace_TC::btnOtherClock_SaveClick);
    auto *af = new QFormLayout(arrival);
    af->addRow(label(arrival, "lbSearch", QStringLiteral("Search")), edtSearch);
    af->addRow(label(arrival, "lbSelect", QStringLiteral("Select")), cbbSelPigNo);
    af->addRow(label(arrival, "lbArrDate", QStringLiteral("Date")), dtpSelPigDate);
    af->addRow(label(arrival, "lbArrTime", QStringLiteral("Time")), dtpSelPigTime);
    auto *ab = new QHBoxLayout;
    ab->addWidget(addNew);
    ab->addWidget(save);
    af->addRow(ab);

    adoqOtherClock = new OtherClockList(dm(), this);
    adoqOtherClock->setObjectName(QStringLiteral("adoqOtherClock"));
    dbgrdOtherClock = new TDBGrid(QStringLiteral("dbgrdOtherClock"), adoqOtherClock, pnlOtherClosk);
    connect(dbgrdOtherClock, &QTableView::clicked, this, [this] { dbgrdOtherClockCellClick(); });
    connect(dbgrdOtherClock, &TDBGrid::titleClicked, this,
            [this](const QString &f) { gridTitleClick(adoqOtherClock, f); });
    auto *back = button(pnlOtherClosk, "btnOtherClock_Exit", QStringLiteral("OK"));
    connect(back, &QPushButton::clicked, this, [this] { showOnly(pnlRacePoint); });

    auto *left = new QVBoxLayout;
    auto *member = new QHBoxLayout;
    member->addWidget(label(pnlOtherClosk, "lbMember", QStringLiteral("Member :")));
    member->addWidget(cbbLoftNo_OtherClock, 1);
    left->addLayout(member);
    left->addWidget(times);
    left->addWidget(arrival);
    left->addStretch();
    auto *row = new QHBoxLayout;
    row->addLayout(left, 2);
    row->addWidget(dbgrdOtherClock, 3);
    auto *lay = new QVBoxLayout(pnlOtherClosk);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(lblOtherClockTitle);
    lay->addLayout(row, 1);
    lay->addWidget(buttonRow(pnlOtherClosk, {}, {back}));
}

// ---- distances

void TfrmRace_TC::showDistances()
{
    const auto race = chosenRace();
    if (!race)
        return;
    adotLoftRaceDist->load(race->liberCode);
    lblLoftLibDistTitle->setText(RaceReports::distancePanelTitle(race->liberSite));
    lblDistMethod->setText(QStringLiteral("Distance method: ") +
                           Coordinates::methodName(Races::clubDistanceMethod(dm())));
    showOnly(pnlLoftLibPointDist);
}

void TfrmRace_TC::btnLoftDistUpdateClick()
{
    if (QWidget *editor = dbgrdLoftLibDist->indexWidget(dbgrdLoftLibDist->currentIndex()))
        editor->close();
    const auto race = chosenRace();
    if (!race)
        return;
    DialogSink sink(this);
    try {
        Distances::updateFromCoordinates(dm(), race->raceCode, sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    adotLoftRaceDist->load(race->liberCode);
}

void TfrmRace_TC::btnLoftLibDistClick()
{
    showOnly(pnlRacePoint);
}

void TfrmRace_TC::showDistanceDownload()
{
    lblDistDLTitle->setText(QStringLiteral(" Race distance download "));
    butDistDL->setEnabled(false);
    adotDistDL->load();
    showOnly(pnlDistDownLoad);
}

void TfrmRace_TC::Button1Click()
{
    const QString path =
        Dialogs::openFile(this, QStringLiteral("File Selected :"), QStringLiteral("Texe file (*.TXT *.txt)"));
    labFilePath->setText(path);
    butDistDL->setEnabled(!path.isEmpty());
}

void TfrmRace_TC::butDistDLClick()
{
    if (labFilePath->text().isEmpty())
        return;
    DialogSink sink(this);
    try {
        Distances::importFile(dm(), labFilePath->text(), sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    adotDistDL->load();
}

void TfrmRace_TC::btnRPRAPrintClick()
{
    const QString path =
        Dialogs::saveFile(this, QStringLiteral("RPRA Form"), QStringLiteral("Texe file (DISTANCES.txt)"),
                          QStringLiteral("DISTANCES.txt"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    try {
        Distances::writeRequestFile(dm(), path, sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

// ---- results and status

void TfrmRace_TC::fillResult()
{
    const auto race = chosenRace();
    if (!race)
        return;
    adoqRaceRec->load(race->raceCode);
    lblRaceResultSum->setText(adoqRaceRec->summary().text());
    lblSunGaps->setText(adoqRaceRec->sunGaps());
    lblSunGaps->setVisible(!adoqRaceRec->sunGaps().isEmpty());
}

void TfrmRace_TC::showResult(bool withTitle)
{
    const auto race = chosenRace();
    if (!race)
        return;
    if (withTitle)
        lbl1RaceResultTitle->setText(race->clubId + QStringLiteral(" Result for ") + race->liberSite);
    lblRaceHeading->setText(race->heading());
    fillResult();
    showOnly(pnlRaceResult);
}

void TfrmRace_TC::btnRaceRecClick()
{
    showOnly(pnlRacePoint);
}

void TfrmRace_TC::btnRecaculateClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    dtpRaceDate->setDate(race->liberDate);
    dtpRaceTime->setTime(race->liberTime.isValid() ? race->liberTime : QTime(0, 0));
    grpRecaculate->show();
    dtpRaceDate->setFocus();
}

void TfrmRace_TC::btnRecacuteClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    DialogSink sink(this);
    try {
        Ranking::recalculate(dm(), race->raceCode, QDateTime(dtpRaceDate->date(), dtpRaceTime->time()), sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    fillResult();
    grpRecaculate->hide();
}

void TfrmRace_TC::btnExitClick()
{
    grpRecaculate->hide();
    btnRaceRec->setFocus();
}

void TfrmRace_TC::showStatus()
{
    const auto race = chosenRace();
    if (!race)
        return;
    lblLoftRaceStatTiTle->setText(RaceReports::statusPanelTitle(race->liberSite));
    adoqLoftRaceStat->load(race->raceCode);
    showOnly(pnlLoftRaceStat);
}

// ---- other clock

void TfrmRace_TC::showOtherClock()
{
    const auto race = chosenRace();
    if (!race)
        return;
    lblOtherClockTitle->setText(QStringLiteral("Add/Edit Other Clock     ") + race->liberCode +
                                QStringLiteral("    ") + race->liberSiteAbbr + QStringLiteral("    ") +
                                ValueText::shortDate(race->liberDate) + QStringLiteral("     ") +
                                race->raceCode);
    cbbLoftNo_OtherClock->clear();
    cbbLoftNo_OtherClock->addItems(OtherClock::memberNames(dm()));
    cbbLoftNo_OtherClock->setCurrentIndex(-1);
    showOnly(pnlOtherClosk);
    const QDate today = AppClock::today();
    for (QDateEdit *d : {dtpMarkMasterDate, dtpMarkedDate, dtpMasterDate, dtpMemberDate, dtpSelPigDate})
        d->setDate(today);
}

void TfrmRace_TC::fillOtherClockGrid()
{
    const auto race = chosenRace();
    if (!race)
        return;
    adoqOtherClock->load(race->raceCode, otherClockLoft_);
}

void TfrmRace_TC::cbbLoftNo_OtherClockClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    if (const auto loft = OtherClock::loftOfName(dm(), cbbLoftNo_OtherClock->currentText()))
        otherClockLoft_ = *loft;
    cbbSelPigNo->clear();
    cbbSelPigNo->addItems(OtherClock::liveRings(dm(), otherClockLoft_));
    cbbSelPigNo->setCurrentIndex(-1);
    if (const auto t = OtherClock::load(dm(), race->raceCode, otherClockLoft_)) {
        const auto set = [](QDateEdit *d, QTimeEdit *tm, const QDateTime &v) {
            if (v.isValid()) {
                d->setDate(v.date());
                tm->setTime(v.time());
            }
        };
        set(dtpMarkMasterDate, dtpMarkMasterTime, t->markedMaster);
        set(dtpMarkedDate, dtpMarkedTime, t->markedMember);
        set(dtpMasterDate, dtpMasterTime, t->checkMaster);
        set(dtpMemberDate, dtpMemberTime, t->checkMember);
    }
    fillOtherClockGrid();
    dtpMarkMasterDate->setFocus();
}

void TfrmRace_TC::btnOtherClock_NewClick()
{
    edtSearch->setFocus();
}

void TfrmRace_TC::edtSearchExit()
{
    cbbSelPigNo->clear();
    cbbSelPigNo->addItems(OtherClock::liveRings(dm(), otherClockLoft_, edtSearch->text()));
    cbbSelPigNo->setCurrentIndex(-1);
    cbbSelPigNo->setEditText(QString());
}

void TfrmRace_TC::cbbSelPigNoClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    const auto back = OtherClock::arrivalOf(dm(), race->raceCode, cbbSelPigNo->currentText());
    const auto parsed = back ? FlyTime::parseArrival(*back) : std::nullopt;
    if (!parsed) {
        dtpSelPigDate->setDate(AppClock::today());
        dtpSelPigTime->setTime(QTime(0, 0));
        return;
    }
    dtpSelPigDate->setDate(parsed->date());
    dtpSelPigTime->setTime(QTime(parsed->time().hour(), parsed->time().minute(), parsed->time().second()));
}

void TfrmRace_TC::dbgrdOtherClockCellClick()
{
    const int row = dbgrdOtherClock->currentRow();
    if (row < 0)
        return;
    cbbSelPigNo->setEditText(adoqOtherClock->record(row).value(QStringLiteral("PRingNo")).toString());
    cbbSelPigNoClick();
}

void TfrmRace_TC::btnOtherClock_SaveClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    const QString ring = cbbSelPigNo->currentText();
    DialogSink sink(this);
    const OtherClock::ClockTimes times{QDateTime(dtpMarkMasterDate->date(), dtpMarkMasterTime->time()),
                                       QDateTime(dtpMarkedDate->date(), dtpMarkedTime->time()),
                                       QDateTime(dtpMasterDate->date(), dtpMasterTime->time()),
                                       QDateTime(dtpMemberDate->date(), dtpMemberTime->time())};
    try {
        const auto out = OtherClock::save(dm(), *race, otherClockLoft_, ring, times,
                                          QDateTime(dtpSelPigDate->date(), dtpSelPigTime->time()), sink);
        if (!out.ok) {
            cbbSelPigNo->setFocus();
            return;
        }
        StatusNote::show(this, QStringLiteral("Arrival of %1 saved.").arg(ring));
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    fillOtherClockGrid();
    dbgrdOtherClock->selectRow(adoqOtherClock->rowOf(QStringLiteral("PRingNo"), ring));
}

// ---- reports

void TfrmRace_TC::previewReport(const Report &report)
{
    ReportPreview::show(this, report, ClubSettings::load(dm()).printCount);
}

void TfrmRace_TC::butPrtRacePointClick()
{
    previewReport(*RaceReports::raceList(dm(), *adoqRacePoint));
}

void TfrmRace_TC::butPrtLoftRaceDistClick()
{
    previewReport(*RaceReports::memberDistances(dm(), *adotLoftRaceDist, lblLoftLibDistTitle->text()));
}

void TfrmRace_TC::butDistDLPrtClick()
{
    // Every distance row of every liberation code, under the title last set on the distance panel.
    previewReport(*RaceReports::memberDistances(dm(), *adotDistDL, lblLoftLibDistTitle->text()));
}

void TfrmRace_TC::butPrtRaceStatClick()
{
    const auto race = chosenRace();
    if (race)
        previewReport(*RaceReports::raceStatus(dm(), *adoqLoftRaceStat, lblLoftRaceStatTiTle->text(), *race));
}

void TfrmRace_TC::butPrtRaceResultClick()
{
    const auto race = chosenRace();
    if (race)
        previewReport(*RaceReports::raceResult(dm(), *adoqRaceRec, *race, lblRaceResultSum->text()));
}
