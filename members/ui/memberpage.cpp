#include "members/ui/memberpage.h"

#include "app/ui/captionapply.h"
#include "app/ui/controls.h"
#include "app/ui/devicetask.h"
#include "report/memberreports.h"
#include "report/ui/reportpreview.h"
#include "store/tableobject.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/statusnote.h"
#include "app/ui/radiogroup.h"
#include "members/colours.h"
#include "app/ui/coordinatebox.h"
#include "members/coordmask.h"
#include "members/loftdownload.h"
#include "device/twinapiv8.h"
#include "members/memberlists.h"
#include "members/members.h"
#include "members/membersettings.h"
#include "members/ui/pagewidgets.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "store/sorttext.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace MemberWidgets;

TfrmMember_10::TfrmMember_10(TdmORVS &dm, QWidget *parent) : TPage(QStringLiteral("frmMember_10"), dm, parent)
{
    lblTitle = label(this, "lblTitle", QStringLiteral("Member"));
    Controls::setTitleFont(lblTitle);

    pnlMem = buildMemberList();
    pnlNewMember = buildMemberForm();
    pnlMemRing = buildRingPanel();
    pnlClockList = buildClockList();

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(12, 12, 12, 12);
    lay->addWidget(lblTitle);
    for (QWidget *p : {pnlMem, pnlNewMember, pnlMemRing, pnlClockList})
        lay->addWidget(p, 1);

    // The row menus float over the page at the mouse position.
    rgMem = new TRadioGroup(QStringLiteral("rgMem"),
                            {QStringLiteral("Edit Member"), QStringLiteral("Delete Member"),
                             QStringLiteral("---------------------"), QStringLiteral("Member Rings List"),
                             QStringLiteral("Member Clocks"), QStringLiteral("--------------------"),
                             QStringLiteral("Loft Data Download")},
                            this);
    rgMemRing = new TRadioGroup(QStringLiteral("rgMemRing"),
                                {QStringLiteral("Edit Ring"), QStringLiteral("Delete Ring")}, this);
    rgClockList = new TRadioGroup(QStringLiteral("rgClockList"), {QStringLiteral("Delete")}, this);
    connect(rgMem, &TRadioGroup::chosen, this, &TfrmMember_10::rgMemClick);
    connect(rgMemRing, &TRadioGroup::chosen, this, &TfrmMember_10::rgMemRingClick);
    connect(rgClockList, &TRadioGroup::chosen, this, &TfrmMember_10::rgClockListClick);

    timerDLMsg = new QTimer(this);
    timerDLMsg->setObjectName(QStringLiteral("timerDLMsg"));
    timerDLMsg->setInterval(2000);
    timerDLMsg->setSingleShot(true);
    connect(timerDLMsg, &QTimer::timeout, this, &TfrmMember_10::timerDLMsgTimer);
    showPanel(pnlMem);
}

QWidget *TfrmMember_10::buildMemberList()
{
    auto *p = panel(this, "pnlMem");
    adoqDBGridLoft = new MemberList(dm(), ListLayout::Grid, p);
    adoqDBGridLoft->setObjectName(QStringLiteral("adoqDBGridLoft"));
    dbgrdMem = new TDBGrid(QStringLiteral("dbgrdMem"), adoqDBGridLoft, p);
    dbgrdMem->viewport()->installEventFilter(this);
    // The name is the long text of a member row; the clock count after it stays by its title.
    GridFit::fillColumn(dbgrdMem, adoqDBGridLoft->columnOfField(QStringLiteral("LoftName")));
    connect(dbgrdMem, &TDBGrid::titleClicked, this, [this](const QString &fld) { titleClick(dbgrdMem, fld); });
    connect(dbgrdMem, &QAbstractItemView::doubleClicked, this, [this] { dbgrdMemDblClick(); });
    connect(dbgrdMem, &QAbstractItemView::clicked, this, [this] { hideMenus(); });

    btnMemNew = button(p, "btnMemNew", QStringLiteral("AddNew"));
    butPrtMemList = button(p, "butPrtMemList", QStringLiteral("Print"));
    btnCote = button(p, "btnCote", QStringLiteral("Create TXT"));
    connect(btnCote, &QPushButton::clicked, this, &TfrmMember_10::btnCoteClick);
    connect(butPrtMemList, &QPushButton::clicked, this, &TfrmMember_10::butPrtMemListClick);
    connect(btnMemNew, &QPushButton::clicked, this, &TfrmMember_10::btnMemNewClick);
    lblMemCnt = Controls::valueLabel(p, "lblMemCnt", ValueText::count3(0));
    panelLoftDL = label(p, "panelLoftDL", {});
    panelLoftDL->setAlignment(Qt::AlignCenter);
    panelLoftDL->setStyleSheet(QStringLiteral("background: lime; color: black; font-weight: bold; padding: 8px;"));
    panelLoftDL->hide();

    auto *side = new QVBoxLayout;
    side->addWidget(label(p, "lblMembers", QStringLiteral("Members :")));
    side->addWidget(lblMemCnt);
    side->addSpacing(12);
    for (QPushButton *b : {btnMemNew, butPrtMemList, btnCote})
        side->addWidget(b);
    side->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(dbgrdMem, 1);
    row->addLayout(side);
    auto *lay = new QVBoxLayout(p);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(panelLoftDL);
    lay->addLayout(row, 1);
    return p;
}

QWidget *TfrmMember_10::buildMemberForm()
{
    auto *p = panel(this, "pnlNewMember");
    edtUnionCode = edit(p, "edtUnionCode", 6, true);
    edtSeriesNo = edit(p, "edtSeriesNo", 10, true);
    edtName = edit(p, "edtName", 30);
    edtStreet = edit(p, "edtStreet", 50);
    edtToneCity = edit(p, "edtToneCity", 30);
    edtPostCode = edit(p, "edtPostCode", 10, true);
    edtPhone = edit(p, "edtPhone", 15);
    edtEMail = edit(p, "edtEMail", 32767);
    medtLoftLon = edit(p, "medtLoftLon", 13);
    medtLoftLat = edit(p, "medtLoftLat", 13);
    for (QLineEdit *m : {medtLoftLon, medtLoftLat})
        m->setInputMask(CoordMask::InputMask);
    CoordinateBox::attach(medtLoftLon, true, p);
    CoordinateBox::attach(medtLoftLat, false, p);
    mmoNote = new QPlainTextEdit(p);
    mmoNote->setTabChangesFocus(true); // Tab goes on to the buttons, as in every other box
    mmoNote->setObjectName(QStringLiteral("mmoNote"));
    btnOK = button(p, "btnOK", QStringLiteral("Save"));
    btnCancel = button(p, "btnCancel", QStringLiteral("Cancel"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmMember_10::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMember_10::btnCancelClick);

    auto *grp = new QGroupBox(QStringLiteral("Member Data"), p);
    grp->setObjectName(QStringLiteral("grpMember"));
    auto *form = new QFormLayout(grp);
    form->addRow(label(grp, "lblUnionCode", QStringLiteral("Association Code :")), edtUnionCode);
    form->addRow(label(grp, "lblSeriesNo", QStringLiteral("Loft No :")), edtSeriesNo);
    form->addRow(label(grp, "lblName", QStringLiteral("Name :")), edtName);
    form->addRow(label(grp, "lblStreet", QStringLiteral("Street :")), edtStreet);
    form->addRow(label(grp, "lblCity", QStringLiteral("City :")), edtToneCity);
    form->addRow(label(grp, "lblPostCode", QStringLiteral("Post Code :")), edtPostCode);
    form->addRow(label(grp, "lblPhone", QStringLiteral("Phone :")), edtPhone);
    form->addRow(label(grp, "lblEMail", QStringLiteral("E-Mail :")), edtEMail);
    const auto coordRow = [grp](QLineEdit *e, const char *name, const QString &example) {
        auto *h = new QHBoxLayout;
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("W000'00:00.000")) + 16);
        h->addWidget(e);
        h->addWidget(Controls::valueLabel(grp, name, example));
        h->addStretch();
        return h;
    };
    form->addRow(label(grp, "lblLoftLon", QStringLiteral("Longitude :")),
                 coordRow(medtLoftLon, "lblLonExample", QStringLiteral("(E121'23:24)")));
    form->addRow(label(grp, "lblLoftLat", QStringLiteral("Latitude :")),
                 coordRow(medtLoftLat, "lblLatExample", QStringLiteral("(N024'22:30)")));
    form->addRow(label(grp, "lblNote", QStringLiteral("Notes :")), mmoNote);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *lay = new QVBoxLayout(p);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *h = new QHBoxLayout;
    h->addWidget(grp, 3);
    h->addStretch(1);
    lay->addLayout(h, 1);
    lay->addLayout(buttons);
    Controls::formKeys(p, btnOK, btnCancel);
    return p;
}

QWidget *TfrmMember_10::buildClockList()
{
    auto *p = panel(this, "pnlClockList");
    adoqClockList = new ClockList(dm(), p);
    adoqClockList->setObjectName(QStringLiteral("adoqClockList"));
    dbgrdClockList = new TDBGrid(QStringLiteral("dbgrdClockList"), adoqClockList, p);
    dbgrdClockList->viewport()->installEventFilter(this);
    connect(dbgrdClockList, &TDBGrid::titleClicked, this,
            [this](const QString &fld) { titleClick(dbgrdClockList, fld); });
    lblClockListTitle = Controls::valueLabel(p, "lblClockListTitle", {});
    QFont f = lblClockListTitle->font();
    f.setBold(true);
    lblClockListTitle->setFont(f);
    lblClockListSum = Controls::valueLabel(p, "lblClockListSum", Members::clockCountText(0));
    auto *lay = new QVBoxLayout(p);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(lblClockListTitle);
    lay->addWidget(dbgrdClockList, 1);
    lay->addWidget(lblClockListSum);
    return p;
}

void TfrmMember_10::guarded(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TfrmMember_10::FormShow()
{
    guarded([this] {
        QString error;
        MemberSettings::current() = MemberSettings::read(dm().dataFolder(), &error);
        if (!error.isEmpty())
            Dialogs::error(this, error);
        cbbCountryRingCode->clear();
        cbbCountryRingCode->addItems(MemberSettings::current().countryRingCodes);
        cbbCountryRingCode->setCurrentIndex(-1);
        fillColourBox();
        loadMembers();
        showPanel(pnlMem);
        lblTitle->setText(QStringLiteral("Member"));
        panelLoftDL->hide();
        combBYear->clear();
        const int year = AppClock::today().year();
        for (int y = year - 9; y <= year + 1; ++y)
            combBYear->addItem(QString::number(y));
        combBYear->setCurrentText(QString::number(year));
        Caption_Language_Update();
    });
}

void TfrmMember_10::Caption_Language_Update()
{
    using K = Captions::Kind;
    applyCaptions(this, formName(),
                  {K::Grid, K::Label, K::Button, K::PopupMenu, K::RadioGroup, K::GroupBox, K::CheckBox}, dm());
}

void TfrmMember_10::showPanel(QWidget *shown)
{
    hideMenus();
    for (QWidget *p : {pnlMem, pnlNewMember, pnlMemRing, pnlClockList})
        p->setVisible(p == shown);
}

void TfrmMember_10::hideMenus()
{
    for (TRadioGroup *g : {rgMem, rgMemRing, rgClockList})
        if (g)
            g->hide();
}

void TfrmMember_10::titleClick(TDBGrid *grid, const QString &field)
{
    grid->table()->titleClick(SortText::programWide(), field);
}

QString TfrmMember_10::selectedLoftNo() const
{
    const int r = dbgrdMem->currentRow();
    return r < 0 ? QString() : adoqDBGridLoft->record(r).value(QStringLiteral("LoftNo")).toString();
}

QString TfrmMember_10::selectedLoftName() const
{
    const int r = dbgrdMem->currentRow();
    return r < 0 ? QString() : adoqDBGridLoft->record(r).value(QStringLiteral("LoftName")).toString();
}

void TfrmMember_10::loadMembers()
{
    const QString keep = selectedLoftNo();
    adoqDBGridLoft->load();
    lblMemCnt->setText(ValueText::count3(adoqDBGridLoft->rowCount()));
    const int r = adoqDBGridLoft->rowOf(QStringLiteral("LoftNo"), keep);
    dbgrdMem->selectRow(r >= 0 ? r : 0);
}

// ---- member list and entry form ----

void TfrmMember_10::butPrtMemListClick()
{
    const auto report = MemberReports::memberList(dm(), *adoqDBGridLoft);
    ReportPreview::show(this, *report, ClubSettings::load(dm()).printCount);
}

void TfrmMember_10::btnMemNewClick()
{
    guarded([this] {
        editMember(Members::blank(dm()), true);
        lblTitle->setText(QStringLiteral("Member New Add"));
    });
}

void TfrmMember_10::editMember(const MemberForm &m, bool isNew)
{
    edtUnionCode->setText(m.associationCode);
    edtSeriesNo->setText(m.loftNo);
    edtName->setText(m.name);
    edtStreet->setText(m.street);
    edtToneCity->setText(m.city);
    edtPostCode->setText(m.postCode);
    edtPhone->setText(m.phone);
    edtEMail->setText(m.email);
    medtLoftLon->setText(m.lon.trimmed().isEmpty() ? QString() : m.lon);
    medtLoftLat->setText(m.lat.trimmed().isEmpty() ? QString() : m.lat);
    mmoNote->setPlainText(m.notes);
    edtSeriesNo->setReadOnly(!isNew);
    showPanel(pnlNewMember);
    edtName->setFocus();
    Controls::markClean(pnlNewMember);
}

bool TfrmMember_10::canLeave()
{
    return Controls::confirmLeave(this, {pnlNewMember, pnlRingEntry});
}

MemberForm TfrmMember_10::readMemberForm() const
{
    MemberForm m;
    m.associationCode = edtUnionCode->text();
    m.loftNo = edtSeriesNo->text();
    m.name = edtName->text();
    m.street = edtStreet->text();
    m.city = edtToneCity->text();
    m.postCode = edtPostCode->text();
    m.phone = edtPhone->text();
    m.email = edtEMail->text();
    m.lon = maskText(medtLoftLon);
    m.lat = maskText(medtLoftLat);
    m.notes = mmoNote->toPlainText();
    return m;
}

void TfrmMember_10::btnOKClick()
{
    guarded([this] {
        DialogSink sink(this);
        const MemberForm m = readMemberForm();
        if (!Members::save(dm(), m, sink))
            return;
        loadMembers();
        dbgrdMem->selectRow(adoqDBGridLoft->rowOf(QStringLiteral("LoftNo"), m.loftNo));
        showPanel(pnlMem);
        lblTitle->setText(QStringLiteral("Member"));
        StatusNote::show(this, QStringLiteral("Member %1 saved.").arg(m.loftNo));
    });
}

void TfrmMember_10::btnCancelClick()
{
    showPanel(pnlMem);
    lblTitle->setText(QStringLiteral("Member"));
}

void TfrmMember_10::rgMemClick(int item)
{
    const QString loft = selectedLoftNo();
    if (loft.isEmpty() && item != 2 && item != 5) {
        Dialogs::info(this, QStringLiteral("Please select a member first."));
        return;
    }
    guarded([this, item, loft] {
        switch (item) {
        case 0:
            if (const auto m = Members::load(dm(), loft)) {
                editMember(*m, false);
                lblTitle->setText(QStringLiteral("Member Edit Update"));
            }
            break;
        case 1: {
            DialogSink sink(this);
            Members::remove(dm(), loft, sink);
            loadMembers();
            break;
        }
        case 3: openRingList(); break;
        case 4: openClockList(); break;
        case 6: LoftDataDownload(); break;
        default: break; // separators
        }
    });
}

void TfrmMember_10::dbgrdMemDblClick()
{
    // A double-click edits the member, as "Edit Member" does; the rings have their own menu item.
    if (!selectedLoftNo().isEmpty())
        rgMemClick(0);
}


// ---- clocks ----

void TfrmMember_10::openClockList()
{
    clockLoftNo_ = selectedLoftNo();
    lblClockListTitle->setText(selectedLoftName() + QStringLiteral("'s Clock List"));
    loadClocks();
    showPanel(pnlClockList);
}

void TfrmMember_10::loadClocks()
{
    adoqClockList->load(clockLoftNo_);
    lblClockListSum->setText(Members::clockCountText(adoqClockList->rowCount()));
    dbgrdClockList->selectRow(0);
}

void TfrmMember_10::rgClockListClick(int item)
{
    const int r = dbgrdClockList->currentRow();
    if (item != 0 || r < 0)
        return;
    guarded([this, r] {
        DialogSink sink(this);
        const QString clock = adoqClockList->record(r).value(QStringLiteral("ClockID")).toString();
        if (Members::deleteClock(dm(), clockLoftNo_, clock, sink))
            loadClocks();
    });
}

// ---- mouse: row menus at the mouse position, and the coordinate exit checks ----

bool TfrmMember_10::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            const std::pair<TDBGrid *, TRadioGroup *> grids[] = {
                {dbgrdMem, rgMem}, {dbgrdMemRing, rgMemRing}, {dbgrdClockList, rgClockList}};
            for (const auto &[grid, menu] : grids) {
                if (watched != grid->viewport())
                    continue;
                const QModelIndex i = grid->indexAt(me->position().toPoint());
                if (i.isValid())
                    grid->selectRow(i.row());
                hideMenus();
                menu->popupAt(mapFromGlobal(me->globalPosition().toPoint()));
                return true;
            }
        }
    }
    return ringEventFilter(watched, event) || TPage::eventFilter(watched, event);
}

// ---- loft data download ----

namespace {
// Message boxes for the download's messages, except its success: that goes into the lime notice
// of the member list, which hides itself after two seconds.
class DownloadSink : public DialogSink
{
public:
    DownloadSink(QWidget *parent, QLabel *notice, QTimer *timer) : DialogSink(parent), notice_(notice), timer_(timer)
    {
    }
    void message(const QString &text, MessageKind kind) override
    {
        if (kind != MessageKind::Success)
            return DialogSink::message(text, kind);
        notice_->setText(text);
        notice_->show();
        timer_->start();
        notice_->repaint();
    }

private:
    QLabel *notice_;
    QTimer *timer_;
};
} // namespace

void TfrmMember_10::LoftDataDownload()
{
    const QString loft = selectedLoftNo();
    DownloadSink sink(this, panelLoftDL, timerDLMsg);
    // Each command may wait up to 5 s for the clock: the download runs on a thread of its own.
    DeviceTask::run(this, dm().dataFolder(), sink, [&loft](TdmORVS &db, TWinApiV8 &driver, OperationSink &s) {
        return ::LoftDataDownload(db, driver, s).run(loft);
    });
}

void TfrmMember_10::timerDLMsgTimer()
{
    panelLoftDL->hide();
    timerDLMsg->stop();
}
