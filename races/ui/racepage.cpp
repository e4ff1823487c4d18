#include "races/ui/racepage.h"

#include "app/ui/captionapply.h"
#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/statusnote.h"
#include "app/ui/radiogroup.h"
#include "app/ui/coordinatebox.h"
#include "races/coordinates.h"
#include "races/racerecords.h"
#include "races/sundata.h"
#include "races/racelists.h"
#include "races/ui/distancedelegate.h"
#include "races/ui/racewidgets.h"
#include "season/ui/championshippanel.h"
#include "season/ui/prizelistpanel.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace RaceWidgets;

namespace {
const QStringList ActionItems = {QStringLiteral("Edit Point"),
                                 QStringLiteral("Delete Point"),
                                 QStringLiteral("-------------------------"),
                                 QStringLiteral("Distance "),
                                 QStringLiteral("Status"),
                                 QStringLiteral("Result"),
                                 QStringLiteral("-------------------------"),
                                 QStringLiteral("Add/Edit other Clock"),
                                 QStringLiteral("Distance download"),
                                 QStringLiteral("Generate WinSpeed File"),
                                 QStringLiteral("Generate SMS Text File")};
} // namespace

TfrmRace_TC::TfrmRace_TC(TdmORVS &dm, QWidget *parent) : TPage(QStringLiteral("frmRace_TC"), dm, parent)
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(10, 10, 10, 10);
    buildRacePoint();
    buildDistances();
    buildResults();
    buildOtherClock();
    buildSeason();
    for (QWidget *p : std::initializer_list<QWidget *>{pnlRacePoint, pnlLoftLibPointDist, pnlDistDownLoad,
                                                       pnlRaceResult, pnlLoftRaceStat, pnlOtherClosk, pnlPrizeList,
                                                       pnlChampionship})
        lay->addWidget(p, 1);
    rgRacePoint = new TRadioGroup(QStringLiteral("rgRacePoint"), ActionItems, this);
    connect(rgRacePoint, &TRadioGroup::chosen, this, &TfrmRace_TC::rgRacePointClick);
    showOnly(pnlRacePoint);
}

TfrmRace_TC::~TfrmRace_TC() = default;

void TfrmRace_TC::buildRacePoint()
{
    pnlRacePoint = panel(this, "pnlRacePoint");
    auto *title = label(pnlRacePoint, "lbRaceTitle", QStringLiteral("Races"));
    setTitleFont(title);

    adoqRacePoint = new RaceList(dm(), ListLayout::Grid, this);
    adoqRacePoint->setObjectName(QStringLiteral("adoqRacePoint"));
    dbgrd1 = new TDBGrid(QStringLiteral("dbgrd1"), adoqRacePoint, pnlRacePoint);
    dbgrd1->viewport()->installEventFilter(this);
    connect(dbgrd1, &QTableView::clicked, this, [this] { dbgrd1CellClick(); });
    // The editor follows the highlighted race, also when it is moved with the keys; a race being
    // added keeps what was typed.
    connect(dbgrd1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!addMode_)
            loadRaceIntoEditor();
    });
    connect(dbgrd1, &QTableView::doubleClicked, this, [this] { dbgrd1DblClick(); });
    connect(dbgrd1, &TDBGrid::titleClicked, this,
            [this](const QString &f) { gridTitleClick(adoqRacePoint, f); });
    auto *hint =
        label(pnlRacePoint, "lbRaceHint",
              QStringLiteral("Right-click a race for its distances, status, result and other clocks; "
                             "double-click for its result."));
    hint->setWordWrap(true);
    auto *print = button(pnlRacePoint, "butPrtRacePoint", QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, &TfrmRace_TC::butPrtRacePointClick);

    // Editing area
    grpLibDetail = new QGroupBox(QStringLiteral("Liberation Points Detail"), pnlRacePoint);
    grpLibDetail->setObjectName(QStringLiteral("grpLibDetail"));
    combClub = new QComboBox(grpLibDetail);
    combClub->setObjectName(QStringLiteral("combClub"));
    combClub->setContextMenuPolicy(Qt::CustomContextMenu);
    pmClubCode = new QMenu(this);
    pmClubCode->setObjectName(QStringLiteral("pmClubCode"));
    pmClubCode->addAction(QStringLiteral("&A Add"), this, &TfrmRace_TC::AAdd1Click);
    pmClubCode->addAction(QStringLiteral("&D Delete"), this, &TfrmRace_TC::DDelete2Click);
    pmClubCode->addAction(QStringLiteral("&E Exit"), pmClubCode, &QMenu::close);
    connect(combClub, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pmClubCode->popup(combClub->mapToGlobal(p)); });

    edtlibSiteAbbriv = edit(grpLibDetail, "edtlibSiteAbbriv", 10, true);
    combLibSite = new QComboBox(grpLibDetail);
    combLibSite->setObjectName(QStringLiteral("combLibSite"));
    combLibSite->setEditable(true);
    combLibSite->setInsertPolicy(QComboBox::NoInsert);
    combLibSite->lineEdit()->setMaxLength(20);
    combLibSite->setContextMenuPolicy(Qt::CustomContextMenu);
    combLibSite->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    pmLiberSite = new QMenu(this);
    pmLiberSite->setObjectName(QStringLiteral("pmLiberSite"));
    pmLiberSite->addAction(QStringLiteral("&D Delete"), this, &TfrmRace_TC::DDelete1Click);
    pmLiberSite->addAction(QStringLiteral("&E Exit"), pmLiberSite, &QMenu::close);
    connect(combLibSite->lineEdit(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pmLiberSite->popup(combLibSite->lineEdit()->mapToGlobal(p)); });
    connect(combLibSite, QOverload<int>::of(&QComboBox::activated), this, [this] { combLibSiteClick(); });
    medtRaceLon = coordinateEdit(grpLibDetail, "medtRaceLon");
    medtRaceLat = coordinateEdit(grpLibDetail, "medtRaceLat");
    dtpLibDate = dateEdit(grpLibDetail, "dtpLibDate");
    dtpLibTime = timeEdit(grpLibDetail, "dtpLibTime");
    edtLibCode = edit(grpLibDetail, "edtLibCode", 4);
    chkLibPoint = new QCheckBox(QStringLiteral("Customized LibPoint"), grpLibDetail);
    chkLibPoint->setObjectName(QStringLiteral("chkLibPoint"));
    connect(chkLibPoint, &QCheckBox::clicked, this, [this] { chkLibPointClick(); });
    for (QObject *o : {static_cast<QObject *>(edtLibCode), static_cast<QObject *>(edtlibSiteAbbriv)})
        o->installEventFilter(this);
    CoordinateBox::attach(medtRaceLon, true, grpLibDetail);
    CoordinateBox::attach(medtRaceLat, false, grpLibDetail);

    btnOK = button(grpLibDetail, "btnOK", QStringLiteral("Save"));
    btnCancel = button(grpLibDetail, "btnCancel", QStringLiteral("Cancel"));
    btn1 = button(grpLibDetail, "btn1", QStringLiteral("AddNew"));
    btnSetSunData = button(grpLibDetail, "btnSetSunData", QStringLiteral("SunData Setting"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmRace_TC::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmRace_TC::btnCancelClick);
    connect(btn1, &QPushButton::clicked, this, &TfrmRace_TC::btn1Click);
    connect(btnSetSunData, &QPushButton::clicked, this, &TfrmRace_TC::btnSetSunDataClick);

    auto *form = new QFormLayout;
    form->addRow(label(grpLibDetail, "lbClub", QStringLiteral("Club :")), combClub);
    form->addRow(label(grpLibDetail, "lbLibSite", QStringLiteral("Liberation Site :")), combLibSite);
    // ticked to type a new point into the boxes below, so it stands under the site
    form->addRow(QString(), chkLibPoint);
    form->addRow(label(grpLibDetail, "lbLibSiteAbbr", QStringLiteral("Site Abbreviation :")),
                 edtlibSiteAbbriv);
    form->addRow(label(grpLibDetail, "lbLibCode", QStringLiteral("Liberation Code :")), edtLibCode);
    form->addRow(label(grpLibDetail, "lbLon", QStringLiteral("Longitude :")), medtRaceLon);
    form->addRow(label(grpLibDetail, "lbLat", QStringLiteral("Latitude :")), medtRaceLat);
    form->addRow(label(grpLibDetail, "lbLibDate", QStringLiteral("Liberation Date :")), dtpLibDate);
    form->addRow(label(grpLibDetail, "lbLibTime", QStringLiteral("Liberation Time :")), dtpLibTime);
    auto *buttons = new QGridLayout;
    buttons->addWidget(btn1, 0, 0);
    buttons->addWidget(btnOK, 0, 1);
    buttons->addWidget(btnCancel, 0, 2);
    buttons->addWidget(btnSetSunData, 1, 0, 1, 3);
    auto *detail = new QVBoxLayout(grpLibDetail);
    detail->addLayout(form);
    detail->addLayout(buttons);
    // Tab goes down the form as it reads, then along the buttons.
    QWidget *order[] = {combClub,   combLibSite, chkLibPoint, edtlibSiteAbbriv, edtLibCode,
                        medtRaceLon, medtRaceLat, dtpLibDate,  dtpLibTime,       btn1,
                        btnOK,      btnCancel,   btnSetSunData};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    grpClubMap = new QGroupBox(QStringLiteral("Club Map"), pnlRacePoint);
    grpClubMap->setObjectName(QStringLiteral("grpClubMap"));
    edtClubCode = edit(grpClubMap, "edtClubCode", 10, true);
    edtClubNmae = edit(grpClubMap, "edtClubNmae", 50);
    btnClubSave = button(grpClubMap, "btnClubSave", QStringLiteral("Save"));
    btnClubCancel = button(grpClubMap, "btnClubCancel", QStringLiteral("Cancel"));
    connect(btnClubSave, &QPushButton::clicked, this, &TfrmRace_TC::btnClubSaveClick);
    connect(btnClubCancel, &QPushButton::clicked, this, &TfrmRace_TC::btnClubCancelClick);
    auto *cm = new QFormLayout(grpClubMap);
    cm->addRow(label(grpClubMap, "lbClubCode", QStringLiteral("Club ID :")), edtClubCode);
    cm->addRow(label(grpClubMap, "lbClubName", QStringLiteral("Club Name :")), edtClubNmae);
    auto *cmb = new QHBoxLayout;
    cmb->addWidget(btnClubSave);
    cmb->addWidget(btnClubCancel);
    cm->addRow(cmb);
    grpClubMap->hide();
    Controls::formKeys(grpLibDetail, btnOK, btnCancel);
    Controls::formKeys(grpClubMap, btnClubSave, btnClubCancel);

    buildSunData();

    auto *left = new QVBoxLayout;
    left->addWidget(title);
    left->addWidget(dbgrd1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(hint, 1);
    btnChampionships = button(pnlRacePoint, "btnChampionships", QStringLiteral("Championships"));
    connect(btnChampionships, &QPushButton::clicked, this, &TfrmRace_TC::showChampionships);
    bottom->addWidget(btnChampionships);
    bottom->addWidget(print);
    left->addLayout(bottom);
    auto *right = new QVBoxLayout;
    right->addWidget(grpLibDetail);
    right->addWidget(grpClubMap);
    right->addWidget(pnlSunData);
    right->addStretch();
    auto *row = new QHBoxLayout(pnlRacePoint);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 3);
    row->addLayout(right, 2);
}

void TfrmRace_TC::buildSunData()
{
    pnlSunData = panel(pnlRacePoint, "pnlSunData");
    StrGridSunSet = new QTableWidget(8, 4, pnlSunData);
    StrGridSunSet->setObjectName(QStringLiteral("StrGridSunSet"));
    StrGridSunSet->horizontalHeader()->hide();
    StrGridSunSet->verticalHeader()->hide();
    GridFit::apply(StrGridSunSet);
    StrGridSunSet->verticalHeader()->setDefaultSectionSize(StrGridSunSet->fontMetrics().height() + 6);
    StrGridSunSet->setFixedHeight(8 * (StrGridSunSet->fontMetrics().height() + 6) + 4);
    auto *btnOK_Sun = button(pnlSunData, "btnOK_Sun", QStringLiteral("Save"));
    auto *btnCan_Sun = button(pnlSunData, "btnCan_Sun", QStringLiteral("Cancel"));
    connect(btnOK_Sun, &QPushButton::clicked, this, &TfrmRace_TC::btnOK_SunClick);
    connect(btnCan_Sun, &QPushButton::clicked, this, &TfrmRace_TC::btnCan_SunClick);
    Controls::formKeys(pnlSunData, btnOK_Sun, btnCan_Sun); // the grid keeps its Enter
    auto *lay = new QVBoxLayout(pnlSunData);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *t = label(pnlSunData, "lbSunData", QStringLiteral("Sunset and sunrise of the race days"));
    lay->addWidget(t);
    lay->addWidget(StrGridSunSet);
    auto *b = new QHBoxLayout;
    b->addStretch();
    b->addWidget(btnOK_Sun);
    b->addWidget(btnCan_Sun);
    lay->addLayout(b);
    pnlSunData->hide();
}

void TfrmRace_TC::FormShow()
{
    fillClubs();
    fillSites();
    openRaceList();
    showOnly(pnlRacePoint);
    combClub->setFocus();
    for (QWidget *w : {static_cast<QWidget *>(edtlibSiteAbbriv), static_cast<QWidget *>(edtLibCode),
                       static_cast<QWidget *>(medtRaceLon), static_cast<QWidget *>(medtRaceLat)})
        w->setEnabled(false);
    dtpLibDate->setDate(AppClock::today());
    loadRaceIntoEditor(); // the highlighted race, when there is one
    Caption_Language_Update();
    Controls::markClean(grpLibDetail);
}

bool TfrmRace_TC::canLeave()
{
    return Controls::confirmLeave(this, {grpLibDetail, grpClubMap});
}

void TfrmRace_TC::Caption_Language_Update()
{
    using K = Captions::Kind;
    applyCaptions(this, formName(),
                  {K::Grid, K::Label, K::Button, K::PopupMenu, K::RadioGroup, K::GroupBox, K::CheckBox},
                  dm());
}

void TfrmRace_TC::showOnly(QWidget *panelToShow)
{
    for (QWidget *p : std::initializer_list<QWidget *>{pnlRacePoint, pnlLoftLibPointDist, pnlDistDownLoad,
                                                       pnlRaceResult, pnlLoftRaceStat, pnlOtherClosk, pnlPrizeList,
                                                       pnlChampionship})
        p->setVisible(p == panelToShow);
    if (panelToShow == pnlRacePoint) {
        pnlSunData->hide();
        grpClubMap->hide();
    }
    grpRecaculate->hide();
    if (rgRacePoint)
        rgRacePoint->hide();
}

void TfrmRace_TC::fillClubs()
{
    combClub->clear();
    for (const auto &c : RaceRecords::clubs(dm()))
        combClub->addItem(c.name);
}

void TfrmRace_TC::fillSites()
{
    const QString text = combLibSite->currentText();
    combLibSite->clear();
    siteAbbreviations_.clear();
    for (const auto &s : RaceRecords::sitesByName(dm())) {
        combLibSite->addItem(s.name);
        siteAbbreviations_ << s.abbreviation;
    }
    combLibSite->setCurrentIndex(-1);
    combLibSite->setEditText(text);
}

void TfrmRace_TC::openRaceList()
{
    const QString current = currentRaceCode();
    adoqRacePoint->load();
    if (!sortText_.isEmpty())
        adoqRacePoint->applySort(sortText_);
    const int row = adoqRacePoint->rowOf(QStringLiteral("RaceCode"), current);
    dbgrd1->selectRow(row >= 0 ? row : 0);
}

QString TfrmRace_TC::currentRaceCode() const
{
    const int row = dbgrd1->currentRow();
    if (row < 0 || row >= adoqRacePoint->rowCount())
        return {};
    return adoqRacePoint->record(row).value(QStringLiteral("RaceCode")).toString();
}

std::optional<RaceInfo> TfrmRace_TC::chosenRace() const
{
    const QString code = chosenRaceCode_.isEmpty() ? currentRaceCode() : chosenRaceCode_;
    if (code.isEmpty())
        return std::nullopt;
    return Races::findRace(dm(), code);
}

QString TfrmRace_TC::coordinateText(QLineEdit *e) const
{
    // The mask's text with blanks where nothing was typed: "    '  :  " when untouched.
    return CoordinateBox::text(e);
}

void TfrmRace_TC::clearEditFields()
{
    combLibSite->setCurrentIndex(-1);
    combLibSite->setEditText(QString());
    edtlibSiteAbbriv->clear();
    medtRaceLon->clear();
    medtRaceLat->clear();
    edtLibCode->clear();
    grpLibDetail->setEnabled(true);
    for (QWidget *w : {static_cast<QWidget *>(edtlibSiteAbbriv), static_cast<QWidget *>(edtLibCode),
                       static_cast<QWidget *>(medtRaceLon), static_cast<QWidget *>(medtRaceLat)})
        w->setEnabled(false);
    chkLibPoint->setChecked(false);
    Controls::markClean(grpLibDetail);
}

void TfrmRace_TC::btn1Click()
{
    clearEditFields();
    combClub->setFocus();
    dtpLibDate->setDate(AppClock::today());
    dtpLibTime->setTime(AppClock::now().time());
    addMode_ = true;
    Controls::markClean(grpLibDetail);
}

void TfrmRace_TC::btnCancelClick()
{
    clearEditFields();
}

void TfrmRace_TC::chkLibPointClick()
{
    for (QWidget *w : {static_cast<QWidget *>(combLibSite), static_cast<QWidget *>(edtlibSiteAbbriv),
                       static_cast<QWidget *>(edtLibCode), static_cast<QWidget *>(medtRaceLon),
                       static_cast<QWidget *>(medtRaceLat)})
        w->setEnabled(true);
    edtlibSiteAbbriv->setFocus();
}

void TfrmRace_TC::combLibSiteClick()
{
    const int i = combLibSite->currentIndex();
    if (i < 0 || i >= siteAbbreviations_.size())
        return;
    const auto site = RaceRecords::siteByAbbreviation(dm(), siteAbbreviations_.at(i));
    if (!site || chkLibPoint->isChecked())
        return;
    edtlibSiteAbbriv->setText(site->abbreviation);
    edtLibCode->setText(site->code);
    medtRaceLon->setText(site->lon.toString());
    medtRaceLat->setText(site->lat.toString());
}

bool TfrmRace_TC::loadRaceIntoEditor()
{
    const QString code = currentRaceCode();
    const auto race = code.isEmpty() ? std::nullopt : Races::findRace(dm(), code);
    if (!race)
        return false;
    combClub->setCurrentIndex(combClub->findText(RaceRecords::clubNameOf(dm(), race->clubId)));
    edtLibCode->setText(race->liberCode);
    edtlibSiteAbbriv->setText(race->liberSiteAbbr);
    combLibSite->setEditText(race->liberSite);
    medtRaceLon->setText(race->liberLon.toString());
    medtRaceLat->setText(race->liberLat.toString());
    dtpLibDate->setDate(race->liberDate);
    dtpLibTime->setTime(race->liberTime.isValid() ? race->liberTime : QTime(0, 0));
    loadedRaceCode_ = race->raceCode;
    Controls::markClean(grpLibDetail);
    return true;
}

void TfrmRace_TC::dbgrd1CellClick()
{
    loadRaceIntoEditor();
}

void TfrmRace_TC::dbgrd1DblClick()
{
    chosenRaceCode_ = currentRaceCode();
    if (!chosenRaceCode_.isEmpty())
        showResult(false);
}

void TfrmRace_TC::showActionList(const QPoint &at)
{
    rgRacePoint->hide();
    rgRacePoint->popupAt(at + QPoint(30, 10));
}

void TfrmRace_TC::rgRacePointClick(int item)
{
    chosenRaceCode_ = currentRaceCode();
    if (chosenRaceCode_.isEmpty() && item != 8) {
        rgRacePoint->hide();
        return;
    }
    switch (item) {
    case 0:
        if (loadRaceIntoEditor())
            editMode_ = true;
        break;
    case 1:
        if (Dialogs::ask(this, QStringLiteral("This will delete the data ?")) == Answer::Yes) {
            const QSqlRecord r = adoqRacePoint->record(dbgrd1->currentRow());
            try {
                RaceRecords::softDelete(dm(), r.value(QStringLiteral("ClubID")).toString(), chosenRaceCode_);
            } catch (const SqlError &e) {
                Dialogs::error(this, e.message());
            }
            openRaceList();
        }
        break;
    case 3:
        showDistances();
        break;
    case 4:
        showStatus();
        break;
    case 5:
        showResult(true);
        break;
    case 7:
        showOtherClock();
        break;
    case 8:
        showDistanceDownload();
        break;
    case 9:
        CreateWinSpeed();
        break;
    case 10:
        CreateSMSTextFile();
        break;
    default:
        break; // separators
    }
    rgRacePoint->hide();
}

void TfrmRace_TC::btnOKClick()
{
    RaceRecords::RaceForm f;
    f.clubName = combClub->currentText();
    f.site = combLibSite->currentText();
    f.abbreviation = edtlibSiteAbbriv->text();
    f.lon = coordinateText(medtRaceLon);
    f.lat = coordinateText(medtRaceLat);
    f.date = dtpLibDate->date();
    f.time = dtpLibTime->time();
    f.liberCode = edtLibCode->text();
    const RaceRecords::Mode mode = editMode_  ? RaceRecords::Mode::Edit
                                   : addMode_ ? RaceRecords::Mode::Add
                                              : RaceRecords::Mode::None;
    DialogSink sink(this);
    RaceRecords::SaveOutcome out;
    try {
        out = RaceRecords::save(dm(), f, mode, loadedRaceCode_, sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        openRaceList();
        return;
    }
    if (out.raceWritten) {
        if (mode == RaceRecords::Mode::Edit)
            editMode_ = false;
        else
            addMode_ = false;
    }
    if (out.siteCreated)
        chkLibPoint->setChecked(false);
    if (!out.ok) {
        if (out.raceWritten)
            openRaceList();
        return;
    }
    openRaceList();
    if (!out.raceCode.isEmpty()) {
        dbgrd1->selectRow(adoqRacePoint->rowOf(QStringLiteral("RaceCode"), out.raceCode));
        StatusNote::show(this, QStringLiteral("Race %1 saved.").arg(out.raceCode));
    }
    for (QWidget *w : {static_cast<QWidget *>(edtlibSiteAbbriv), static_cast<QWidget *>(edtLibCode),
                       static_cast<QWidget *>(medtRaceLon), static_cast<QWidget *>(medtRaceLat)})
        w->setEnabled(false);
    fillSites();
    Controls::markClean(grpLibDetail);
}

void TfrmRace_TC::AAdd1Click()
{
    grpClubMap->show();
    edtClubCode->setFocus();
    Controls::markClean(grpClubMap);
}

void TfrmRace_TC::btnClubSaveClick()
{
    try {
        if (const QString problem = RaceRecords::addClub(dm(), edtClubCode->text(), edtClubNmae->text());
            !problem.isEmpty()) {
            Dialogs::error(this, problem);
            edtClubCode->setFocus();
            return;
        }
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        return;
    }
    grpClubMap->hide();
    combClub->clear();
    combClub->addItems(RaceRecords::clubNamesInTableOrder(dm()));
}

void TfrmRace_TC::btnClubCancelClick()
{
    grpClubMap->hide();
}

void TfrmRace_TC::DDelete2Click()
{
    try {
        RaceRecords::deleteClub(dm(), combClub->currentText());
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    combClub->clear();
    combClub->addItems(RaceRecords::clubNamesInTableOrder(dm()));
}

void TfrmRace_TC::DDelete1Click()
{
    try {
        RaceRecords::deleteSite(dm(), edtLibCode->text());
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    combLibSite->setEditText(QString());
    fillSites();
}

void TfrmRace_TC::gridTitleClick(RecordTable *table, const QString &field)
{
    table->titleClick(sortText_, field);
}


bool TfrmRace_TC::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dbgrd1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *m = static_cast<QMouseEvent *>(event);
        rgRacePoint->hide();
        if (m->button() == Qt::RightButton) {
            const QModelIndex i = dbgrd1->indexAt(m->pos());
            if (i.isValid())
                dbgrd1->selectRow(i.row());
            showActionList(mapFromGlobal(m->globalPosition().toPoint()));
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        const bool typed = t.size() == 1 && t.at(0).isPrint();
        if (watched == edtLibCode && typed) {
            const QChar c = t.at(0);
            const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                                 (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
            if (!allowed) {
                edtLibCode->backspace();
                return true;
            }
        }
        if (watched == edtlibSiteAbbriv && t == QLatin1String(" ")) {
            Dialogs::info(this, QStringLiteral("Can not input Space Key !"));
            edtlibSiteAbbriv->backspace();
            return true;
        }
    }
    return TPage::eventFilter(watched, event);
}

void TfrmRace_TC::btnSetSunDataClick()
{
    const QString key = Races::sunKey(edtLibCode->text(), dtpLibDate->date());
    const QStringList heads{QStringLiteral("Race Date"), QStringLiteral("Location"), QStringLiteral("Sunset"),
                            QStringLiteral("Sunrise")};
    const QStringList hints{QStringLiteral("yyyy-mm-dd "), QString(), QStringLiteral("hh:mm:ss"),
                            QStringLiteral("hh:mm:ss")};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 2; ++r) {
            auto *item = new QTableWidgetItem(r == 0 ? heads.at(c) : hints.at(c));
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(palette().button());
            StrGridSunSet->setItem(r, c, item);
        }
    }
    const auto rows = SunData::load(dm(), key);
    for (int r = 2; r < 8; ++r) {
        const size_t i = static_cast<size_t>(r - 2);
        const bool has = i < rows.size();
        const QStringList cells =
            has ? QStringList{rows[i].date, rows[i].location, rows[i].sunSet, rows[i].sunRise}
                : QStringList{QString(), QString(), QString(), QString()};
        for (int c = 0; c < 4; ++c)
            StrGridSunSet->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    pnlSunData->show();
    GridFit::fit(StrGridSunSet);
    StrGridSunSet->setFocus();
}

void TfrmRace_TC::btnOK_SunClick()
{
    const QString key = Races::sunKey(edtLibCode->text(), dtpLibDate->date());
    const auto cell = [this](int r, int c) {
        const QTableWidgetItem *i = StrGridSunSet->item(r, c);
        return i ? i->text() : QString();
    };
    std::vector<SunData::GridRow> rows;
    for (int r = 2; r <= 6; ++r)
        rows.push_back({cell(r, 0), cell(r, 1), cell(r, 2), cell(r, 3)});
    DialogSink sink(this);
    try {
        if (!SunData::save(dm(), key, rows, sink))
            return; // the panel stays open
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        return;
    }
    pnlSunData->hide();
    StatusNote::show(this, QStringLiteral("Sunset and sunrise saved."));
}

void TfrmRace_TC::btnCan_SunClick()
{
    pnlSunData->hide();
}
