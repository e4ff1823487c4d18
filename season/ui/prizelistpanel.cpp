#include "season/ui/prizelistpanel.h"

#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "report/report.h"
#include "report/ui/reportpreview.h"
#include "season/print/seasonreports.h"
#include "season/prizes.h"
#include "season/seasonlists.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Controls;

TPrizeListPanel::TPrizeListPanel(TdmORVS &dm, QWidget *parent) : QWidget(parent), dm_(dm)
{
    setObjectName(QStringLiteral("pnlPrizeList"));
    lblPrizeListTitle = valueLabel(this, "lblPrizeListTitle", QStringLiteral("Prize List"));
    setTitleFont(lblPrizeListTitle);
    spnPrizeRatio = new QSpinBox(this);
    spnPrizeRatio->setObjectName(QStringLiteral("spnPrizeRatio"));
    spnPrizeRatio->setRange(1, 100);
    spnPrizeRatio->setValue(4);
    spnPrizeRatio->setPrefix(QStringLiteral("1 in "));
    adoqPrizeList = new PrizeListTable(this);
    adoqPrizeList->setObjectName(QStringLiteral("adoqPrizeList"));
    dbgrdPrizeList = new TDBGrid(QStringLiteral("dbgrdPrizeList"), adoqPrizeList, this);
    dbgrdPrizeList->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lblPrizeListSum = label(this, "lblPrizeListSum", QString());
    btnPrizeListOK = button(this, "btnPrizeListOK", QStringLiteral("OK"));
    connect(spnPrizeRatio, &QSpinBox::valueChanged, this, [this] { refresh(); });
    btnPrizeListPrint = button(this, "btnPrizeListPrint", QStringLiteral("Print"));
    btnPrizeListExport = button(this, "btnPrizeListExport", QStringLiteral("Export"));
    connect(btnPrizeListOK, &QPushButton::clicked, this, &TPrizeListPanel::done);
    connect(btnPrizeListPrint, &QPushButton::clicked, this, &TPrizeListPanel::btnPrizeListPrintClick);
    connect(btnPrizeListExport, &QPushButton::clicked, this, &TPrizeListPanel::btnPrizeListExportClick);

    auto *top = new QHBoxLayout;
    top->addWidget(lblPrizeListTitle, 1);
    top->addWidget(label(this, "lbPrizeRatio", QStringLiteral("Prizes :")));
    top->addWidget(spnPrizeRatio);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblPrizeListSum, 1);
    bottom->addWidget(btnPrizeListPrint);
    bottom->addWidget(btnPrizeListExport);
    bottom->addWidget(btnPrizeListOK);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addLayout(top);
    lay->addWidget(dbgrdPrizeList, 1);
    lay->addLayout(bottom);
}

void TPrizeListPanel::showRace(const QString &raceCode, const QString &title)
{
    raceCode_ = raceCode;
    lblPrizeListTitle->setText(title);
    refresh();
}

void TPrizeListPanel::refresh()
{
    if (raceCode_.isEmpty())
        return;
    Season::PointsRule rule;
    rule.ratio = spnPrizeRatio->value();
    try {
        const Season::PrizeList pl = Season::prizeList(dm_, raceCode_, rule);
        adoqPrizeList->load(pl, rule.scheme);
        lblPrizeListSum->setText(Season::prizeSummary(pl, rule));
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TPrizeListPanel::btnPrizeListPrintClick()
{
    if (raceCode_.isEmpty())
        return;
    try {
        std::unique_ptr<Report> r = SeasonReports::prizeList(dm_, *adoqPrizeList, Season::prizeRaceLine(dm_, raceCode_),
                                                             lblPrizeListSum->text());
        ReportPreview::show(this, *r, ClubSettings::load(dm_).printCount);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TPrizeListPanel::btnPrizeListExportClick()
{
    if (raceCode_.isEmpty())
        return;
    const QString path = Dialogs::saveFile(this, QStringLiteral("Export prize list"),
                                           QStringLiteral("Workbook (*.xlsx)"),
                                           QStringLiteral("PrizeList_%1.xlsx").arg(raceCode_));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveSeasonWorkbook(*adoqPrizeList, path, &error))
        Dialogs::error(this, error);
}
