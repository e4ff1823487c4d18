#include "app/ui/homepage.h"

#include "app/ui/captionapply.h"
#include "app/ui/controls.h"
#include "app/ui/grid.h"
#include "app/ui/picture.h"
#include "store/recordtable.h"
#include "store/sorttext.h"
#include "store/valuetext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

TfrmHome::TfrmHome(TdmORVS &dm, QWidget *parent) : TPage(QStringLiteral("frmHome"), dm, parent)
{
    table_ = new RecordTable(this);
    table_->setObjectName(QStringLiteral("adoqDBGrid"));
    const auto centre = Qt::AlignCenter;
    table_->addColumn(QStringLiteral("ClockID"), {}, centre);
    table_->addColumn(QStringLiteral("LoftName"), {}, centre);
    table_->addColumn(QStringLiteral("LastSynchDate"), {}, centre, [](const QSqlRecord &r) {
        return ValueText::shortDate(r.value(QStringLiteral("LastSynchDate")));
    });

    auto *title = new QLabel(QStringLiteral("Home"), this);
    title->setObjectName(QStringLiteral("Label1"));
    Controls::setTitleFont(title);

    auto *caption = new QLabel(QStringLiteral("Clocks and their last synchronisation"), this);
    caption->setObjectName(QStringLiteral("lbClocks"));

    grid_ = new TDBGrid(QStringLiteral("DBGrid1"), table_, this);
    connect(grid_, &TDBGrid::titleClicked, this, &TfrmHome::DBGrid1TitleClick);

    auto *left = new QVBoxLayout;
    left->addWidget(title);
    left->addWidget(new TPicturePanel(this, true), 1);
    auto *right = new QVBoxLayout;
    right->addWidget(caption);
    right->addWidget(grid_, 1);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(12, 12, 12, 12);
    lay->setSpacing(16);
    lay->addLayout(left, 2);
    lay->addLayout(right, 3);
}

void TfrmHome::FormShow()
{
    table_->load(dm(), QStringLiteral("SELECT ClockID, LoftName, LastSynchDate FROM ORV_LoftClocks a "
                                      "LEFT JOIN ORV_LoftData b ON a.LoftNo=b.LoftNo"));
    Caption_Language_Update();
}

void TfrmHome::Caption_Language_Update()
{
    using K = Captions::Kind;
    applyCaptions(this, formName(),
                  {K::ToolBar, K::Grid, K::Label, K::Button, K::RadioGroup, K::GroupBox, K::CheckBox, K::PageControl},
                  dm());
}

void TfrmHome::DBGrid1TitleClick(const QString &field)
{
    QString &s = SortText::programWide();
    s = SortText::next(s, field);
    table_->applySort(s);
}
