// The ring panel of the member page: ring list, ring entry and the feather-colour maintenance.
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/statusnote.h"
#include "app/ui/radiogroup.h"
#include "members/colours.h"
#include "members/memberlists.h"
#include "members/membersettings.h"
#include "members/ui/memberpage.h"

#include "app/ui/controls.h"
#include "members/ui/pagewidgets.h"
#include "report/memberreports.h"
#include "report/ui/reportpreview.h"
#include "store/tableobject.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "store/valuetext.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QVBoxLayout>


using namespace MemberWidgets;

namespace {
const QString DeleteMarkField = QStringLiteral("DeleteMark");

// Draws the Mult_Del column as a check box.
class CheckBoxDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem bg = option;
        initStyleOption(&bg, index);
        bg.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &bg, painter);
        const auto *table = static_cast<const RecordTable *>(index.model());
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled |
                    (ValueText::toBool(table->record(index.row()).value(DeleteMarkField)) ? QStyle::State_On
                                                                                          : QStyle::State_Off);
        const QSize sz = QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box).size();
        box.rect = QRect(option.rect.center() - QPoint(sz.width() / 2, sz.height() / 2), sz);
        QApplication::style()->drawControl(QStyle::CE_CheckBox, &box, painter);
    }
};

QComboBox *combo(QWidget *parent, const char *name, bool editable)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    return c;
}
} // namespace

QWidget *TfrmMember_10::buildRingPanel()
{
    auto *p = panel(this, "pnlMemRing");
    adoqDBGridMRing = new RingList(dm(), ListLayout::Grid, p);
    adoqDBGridMRing->setObjectName(QStringLiteral("adoqDBGridMRing"));
    dbgrdMemRing = new TDBGrid(QStringLiteral("dbgrdMemRing"), adoqDBGridMRing, p);
    dbgrdMemRing->setItemDelegateForColumn(1, new CheckBoxDelegate(dbgrdMemRing));
    dbgrdMemRing->horizontalHeader()->setMinimumSectionSize(70);
    dbgrdMemRing->viewport()->installEventFilter(this);
    dbgrdMemRing->installEventFilter(this);
    connect(dbgrdMemRing, &TDBGrid::titleClicked, this, [this](const QString &fld) { titleClick(dbgrdMemRing, fld); });
    connect(dbgrdMemRing, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { dbgrdMemRingCellClick(i.row(), i.column()); });

    lblRingCnt = Controls::valueLabel(p, "lblRingCnt", ValueText::count3(0));
    btnDelALL = button(p, "btnDelALL", QStringLiteral("Delete All"));
    connect(btnDelALL, &QPushButton::clicked, this, &TfrmMember_10::btnDelALLClick);
    btnPigImport = button(p, "btnPigImport", QStringLiteral("Spreadsheet Import"));
    btnPigExport = button(p, "btnPigExport", QStringLiteral("Spreadsheet Export"));
    btnRingExport = button(p, "btnRingExport", QStringLiteral("Ring Export"));
    butPrtRingList = button(p, "butPrtRingList", QStringLiteral("Print"));
    connect(btnPigImport, &QPushButton::clicked, this, &TfrmMember_10::btnPigImportClick);
    connect(btnPigExport, &QPushButton::clicked, this, &TfrmMember_10::btnPigExportClick);
    connect(btnRingExport, &QPushButton::clicked, this, &TfrmMember_10::btnRingExportClick);
    pbImport = new QProgressBar(p);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->setMaximumWidth(220);
    pbImport->hide();
    lblImportProgress = label(p, "lblImportProgress", QString());
    lblImportProgress->hide();
    connect(butPrtRingList, &QPushButton::clicked, this, &TfrmMember_10::butPrtRingListClick);

    auto *countRow = new QHBoxLayout;
    countRow->addWidget(label(p, "lblRings", QStringLiteral("Rings :")));
    countRow->addWidget(lblRingCnt);
    countRow->addStretch();
    countRow->addWidget(lblImportProgress);
    countRow->addWidget(pbImport);
    for (QPushButton *b : {btnDelALL, btnPigImport, btnPigExport, btnRingExport, butPrtRingList})
        countRow->addWidget(b);
    auto *leftCol = new QVBoxLayout;
    leftCol->addWidget(dbgrdMemRing, 1);
    leftCol->addLayout(countRow);
    auto *lay = new QHBoxLayout(p);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addLayout(leftCol, 3);
    lay->addWidget(buildRingEntry(), 0);
    return p;
}

QWidget *TfrmMember_10::buildRingEntry()
{
    pnlRingEntry = panel(this, "pnlRingEntry");
    QWidget *p = pnlRingEntry;
    p->setMinimumWidth(340);
    p->setMaximumWidth(420);
    cbbCountryRingCode = combo(p, "cbbCountryRingCode", true);
    cbbCountryRingCode->lineEdit()->setMaxLength(5);
    combBYear = combo(p, "combBYear", true);
    combBYear->lineEdit()->setMaxLength(4);
    for (QComboBox *c : {cbbCountryRingCode, combBYear})
        connect(c->lineEdit(), &QLineEdit::textEdited, c, [c](const QString &t) {
            if (t != t.toUpper())
                c->setEditText(t.toUpper());
        });
    connect(cbbCountryRingCode, QOverload<int>::of(&QComboBox::activated), this,
            [this] { cbbCountryRingCodeSelect(); });
    edtRegLetter = edit(p, "edtRegLetter", 5, true);
    edtRegLetter->installEventFilter(this);
    edtRegNum = edit(p, "edtRegNum", 7);
    edtUpRegNum = edit(p, "edtUpRegNum", 7);
    for (QLineEdit *e : {edtRegNum, edtUpRegNum})
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    lblUpRegNum = label(p, "lblUpRegNum", QStringLiteral("Upper registration number :"));
    cbbSex = combo(p, "cbbSex", false);
    cbbSex->addItems({QStringLiteral("Hen"), QStringLiteral("Cock"), QStringLiteral("Unknown")});
    cbbSex->setCurrentText(QStringLiteral("Cock"));
    cbbBColour = combo(p, "cbbBColour", true);
    cbbBColour->setContextMenuPolicy(Qt::CustomContextMenu);
    mmoComment = new QPlainTextEdit(p);
    mmoComment->setTabChangesFocus(true);
    mmoComment->setObjectName(QStringLiteral("mmoComment"));
    mmoComment->setMaximumHeight(70);

    pmFeatherColor = new QMenu(this);
    pmFeatherColor->setObjectName(QStringLiteral("pmFeatherColor"));
    const auto action = [this](const char *name, const QString &text, void (TfrmMember_10::*slot)()) {
        QAction *a = pmFeatherColor->addAction(text);
        a->setObjectName(QLatin1String(name));
        if (slot)
            connect(a, &QAction::triggered, this, slot);
    };
    action("AAdd1", QStringLiteral("&A Add"), &TfrmMember_10::AAdd1Click);
    action("DDelete1", QStringLiteral("&D Delete"), &TfrmMember_10::DDelete1Click);
    action("Eexit1", QStringLiteral("&E exit"), nullptr);
    connect(cbbBColour, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmFeatherColor->popup(cbbBColour->mapToGlobal(pos)); });

    grpBirdColor = new QGroupBox(QStringLiteral("Bird Color Maintain"), p);
    grpBirdColor->setObjectName(QStringLiteral("grpBirdColor"));
    edtColorCode = edit(grpBirdColor, "edtColorCode", 10);
    edtColorName = edit(grpBirdColor, "edtColorName", 20);
    btnFColorSave = button(grpBirdColor, "btnFColorSave", QStringLiteral("Save"));
    btnFColorCancel = button(grpBirdColor, "btnFColorCancel", QStringLiteral("Cancel"));
    connect(btnFColorSave, &QPushButton::clicked, this, &TfrmMember_10::btnFColorSaveClick);
    connect(btnFColorCancel, &QPushButton::clicked, this, &TfrmMember_10::btnFColorCancelClick);
    auto *cf = new QFormLayout(grpBirdColor);
    cf->addRow(label(grpBirdColor, "lblColorCode", QStringLiteral("Color Code :")), edtColorCode);
    cf->addRow(label(grpBirdColor, "lblColorName", QStringLiteral("Color Name :")), edtColorName);
    auto *cb = new QHBoxLayout;
    cb->addStretch();
    cb->addWidget(btnFColorSave);
    cb->addWidget(btnFColorCancel);
    cf->addRow(cb);
    grpBirdColor->hide();

    btnNew = button(p, "btnNew", QStringLiteral("AddNew"));
    btnNew2 = button(p, "btnNew2", QStringLiteral("Add a Range"));
    btnOK_Ring = button(p, "btnOK_Ring", QStringLiteral("Save"));
    btnCan_Ring = button(p, "btnCan_Ring", QStringLiteral("Cancel"));
    connect(btnNew, &QPushButton::clicked, this, [this] { btnNewClick(false); });
    connect(btnNew2, &QPushButton::clicked, this, [this] { btnNewClick(true); });
    connect(btnOK_Ring, &QPushButton::clicked, this, &TfrmMember_10::btnOK_RingClick);
    connect(btnCan_Ring, &QPushButton::clicked, this, &TfrmMember_10::btnCan_RingClick);

    auto *grp = new QGroupBox(QStringLiteral("Ring Entry"), p);
    grp->setObjectName(QStringLiteral("grpRingEntry"));
    auto *form = new QFormLayout(grp);
    form->addRow(label(grp, "lblCountry", QStringLiteral("Country code :")), cbbCountryRingCode);
    form->addRow(label(grp, "lblYear", QStringLiteral("Year :")), combBYear);
    form->addRow(label(grp, "lblRegLetter", QStringLiteral("Registration letters :")), edtRegLetter);
    form->addRow(label(grp, "lblRegNum", QStringLiteral("Registration number :")), edtRegNum);
    form->addRow(lblUpRegNum, edtUpRegNum);
    form->addRow(label(grp, "lblSex", QStringLiteral("Sex :")), cbbSex);
    form->addRow(label(grp, "lblColour", QStringLiteral("Color :")), cbbBColour);
    form->addRow(label(grp, "lblComment", QStringLiteral("Comment :")), mmoComment);
    auto *b1 = new QHBoxLayout;
    b1->addWidget(btnNew);
    b1->addWidget(btnNew2);
    auto *b2 = new QHBoxLayout;
    b2->addWidget(btnOK_Ring);
    b2->addWidget(btnCan_Ring);
    auto *lay = new QVBoxLayout(p);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addLayout(b1);
    lay->addWidget(grp);
    lay->addLayout(b2);
    lay->addWidget(grpBirdColor);
    lay->addStretch();
    Controls::formKeys(grp, btnOK_Ring, btnCan_Ring);
    // Tab follows the panel as it reads: the two Add buttons above, the form, Save and Cancel.
    QWidget *order[] = {btnNew,      btnNew2, cbbCountryRingCode, combBYear,  edtRegLetter, edtRegNum,
                        edtUpRegNum, cbbSex,  cbbBColour,         mmoComment, btnOK_Ring,   btnCan_Ring};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Controls::formKeys(grpBirdColor, btnFColorSave, btnFColorCancel);
    return p;
}

QString TfrmMember_10::selectedRing() const
{
    const int r = dbgrdMemRing->currentRow();
    return r < 0 ? QString() : adoqDBGridMRing->record(r).value(QStringLiteral("PRingNo")).toString();
}

void TfrmMember_10::openRingList()
{
    ringLoftNo_ = selectedLoftNo();
    ringLoftName_ = selectedLoftName();
    showPanel(pnlMemRing);
    lblTitle->setText(ringLoftName_ + QStringLiteral("'s Ring List"));
    edtUpRegNum->clear();
    edtUpRegNum->hide();
    lblUpRegNum->hide();
    loadRings();
    cbbCountryRingCode->setFocus();
    Controls::markClean(pnlRingEntry);
}

void TfrmMember_10::loadRings(const QString &moveTo)
{
    adoqDBGridMRing->load(ringLoftNo_);
    lblRingCnt->setText(ValueText::count3(adoqDBGridMRing->rowCount()));
    const int r = moveTo.isEmpty() ? -1 : adoqDBGridMRing->rowOf(QStringLiteral("PRingNo"), moveTo);
    dbgrdMemRing->selectRow(r >= 0 ? r : 0);
}

void TfrmMember_10::cbbCountryRingCodeSelect()
{
    const CountryRule rule = Rings::countryRule(cbbCountryRingCode->currentText());
    if (rule.setLetters) {
        edtRegLetter->setText(rule.letters);
        edtRegLetter->setReadOnly(true);
    } else if (rule.unlockLetters) {
        edtRegLetter->setReadOnly(false);
    }
    if (rule.letterLimit > 0)
        edtRegLetter->setMaxLength(rule.letterLimit);
    if (rule.numberLimit > 0) {
        edtRegNum->setMaxLength(rule.numberLimit);
        edtUpRegNum->setMaxLength(rule.numberLimit);
    }
    if (rule.hint)
        edtRegLetter->setToolTip(*rule.hint);
}

void TfrmMember_10::lockRingParts(bool locked)
{
    cbbCountryRingCode->setEnabled(!locked);
    combBYear->setEnabled(!locked);
    edtRegLetter->setReadOnly(locked);
    edtRegNum->setReadOnly(locked);
}

void TfrmMember_10::btnNewClick(bool range)
{
    pnlRingEntry->setEnabled(true);
    lockRingParts(false);
    edtRegLetter->clear();
    edtRegNum->clear();
    edtUpRegNum->clear();
    mmoComment->clear();
    combBYear->setCurrentText(QString::number(AppClock::today().year()));
    edtUpRegNum->setVisible(range);
    lblUpRegNum->setVisible(range);
    cbbCountryRingCode->setFocus();
    Controls::markClean(pnlRingEntry);
}

RingEntry TfrmMember_10::readRingEntry() const
{
    RingEntry e;
    e.country = cbbCountryRingCode->currentText();
    e.year = combBYear->currentText();
    e.letters = edtRegLetter->text();
    e.number = edtRegNum->text();
    // A hidden upper number never makes a range.
    e.upper = edtUpRegNum->isHidden() ? QString() : edtUpRegNum->text();
    e.sexText = cbbSex->currentText();
    e.colourText = cbbBColour->currentText();
    e.comment = mmoComment->toPlainText();
    return e;
}

void TfrmMember_10::btnOK_RingClick()
{
    guarded([this] {
        DialogSink sink(this);
        const Rings::SaveResult res = Rings::save(dm(), ringLoftNo_, readRingEntry(), selectedRing(), sink);
        if (!res.ok)
            return;
        loadRings(res.lastRing);
        edtUpRegNum->clear();
        Controls::markClean(pnlRingEntry);
        StatusNote::show(this, QStringLiteral("Ring %1 saved.").arg(res.lastRing));
    });
}

void TfrmMember_10::btnCan_RingClick()
{
    edtRegLetter->clear();
    edtRegNum->clear();
    mmoComment->clear();
    cbbCountryRingCode->setEnabled(true);
    cbbCountryRingCode->setFocus();
    Controls::markClean(pnlRingEntry);
}

void TfrmMember_10::dbgrdMemRingCellClick(int row, int column)
{
    hideMenus();
    if (row < 0)
        return;
    guarded([this, column] {
        const auto e = Rings::load(dm(), ringLoftNo_, selectedRing());
        if (!e)
            return;
        pnlRingEntry->setEnabled(true);
        cbbCountryRingCode->setEditText(e->country);
        cbbBColour->setEditText(e->colourText);
        cbbSex->setCurrentText(e->sexText);
        combBYear->setEditText(e->year);
        edtRegLetter->setText(e->letters);
        edtRegNum->setText(e->number);
        mmoComment->setPlainText(e->comment);
        lockRingParts(true);
        Controls::markClean(pnlRingEntry);
        if (column == adoqDBGridMRing->columnOfField(DeleteMarkField))
            toggleMultDel();
    });
}

void TfrmMember_10::rgMemRingClick(int item)
{
    const QString ring = selectedRing();
    if (ring.isEmpty())
        return;
    guarded([this, item, ring] {
        if (item == 0) {
            showPanel(pnlMemRing);
            dbgrdMemRingCellClick(dbgrdMemRing->currentRow(), 0);
        } else if (item == 1) {
            DialogSink sink(this);
            if (Rings::deleteRing(dm(), ringLoftNo_, ring, sink))
                loadRings();
        }
    });
}

void TfrmMember_10::toggleMultDel()
{
    const int r = dbgrdMemRing->currentRow();
    if (r < 0)
        return;
    guarded([this, r] {
        const QSqlRecord rec = adoqDBGridMRing->record(r);
        const bool mark = Rings::toggleDeleteMark(dm(), ringLoftNo_, rec.value(QStringLiteral("PRingNo")).toString(),
                                                  ValueText::toBool(rec.value(DeleteMarkField)));
        // The row stays listed, ticked, until the list is run again.
        adoqDBGridMRing->setValue(r, DeleteMarkField, mark ? 1 : 0);
    });
}

void TfrmMember_10::btnDelALLClick()
{
    guarded([this] {
        DialogSink sink(this);
        if (Rings::deleteAll(dm(), ringLoftNo_, sink))
            loadRings();
    });
}

bool TfrmMember_10::ringEventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == edtRegLetter && !key->text().isEmpty() && key->text().at(0).isPrint() &&
        !Rings::letterKeyAllowed(cbbCountryRingCode->currentText(), key->text().at(0))) {
        edtRegLetter->backspace();
        return true;
    }
    if (watched == dbgrdMemRing && key->key() == Qt::Key_Space &&
        dbgrdMemRing->currentIndex().column() == adoqDBGridMRing->columnOfField(DeleteMarkField)) {
        toggleMultDel();
        return true;
    }
    return false;
}

// ---- feather colours ----

void TfrmMember_10::fillColourBox()
{
    const QString keep = cbbBColour->currentText();
    cbbBColour->clear();
    cbbBColour->addItems(FeatherColours::boxItems(dm()));
    const int i = cbbBColour->findText(keep);
    cbbBColour->setCurrentIndex(i >= 0 ? i : 0);
}

void TfrmMember_10::AAdd1Click()
{
    edtColorCode->clear();
    edtColorName->clear();
    grpBirdColor->show();
    edtColorCode->setFocus();
}

void TfrmMember_10::DDelete1Click()
{
    guarded([this] {
        FeatherColours::removeByName(dm(), cbbBColour->currentText());
        fillColourBox();
    });
}

void TfrmMember_10::btnFColorSaveClick()
{
    guarded([this] {
        DialogSink sink(this);
        if (!FeatherColours::add(dm(), edtColorCode->text(), edtColorName->text(), sink))
            return;
        grpBirdColor->hide();
        fillColourBox();
    });
}

void TfrmMember_10::btnFColorCancelClick()
{
    grpBirdColor->hide();
}

void TfrmMember_10::butPrtRingListClick()
{
    // The rings as listed, ticked ones included: the member whose rings are shown.
    const auto report = MemberReports::ringList(dm(), *adoqDBGridMRing, ringLoftName_, ringLoftNo_);
    ReportPreview::show(this, *report, ClubSettings::load(dm()).printCount);
}
