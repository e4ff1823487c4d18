#include "season/ui/championshippanel.h"

#include "app/ui/controls.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "report/report.h"
#include "report/ui/reportpreview.h"
#include "season/championship.h"
#include "season/print/seasonreports.h"
#include "season/seasonlists.h"
#include "season/standings.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Controls;

namespace {
// Failures in a message box; the page shows success itself.
class PanelSink : public OperationSink
{
public:
    explicit PanelSink(QWidget *w) : w_(w) {}
    void message(const QString &text, MessageKind kind) override
    {
        if (kind == MessageKind::Failure)
            Dialogs::error(w_, text);
    }
    Answer ask(const QString &q, bool withCancel) override { return Dialogs::ask(w_, q, withCancel); }

private:
    QWidget *w_;
};

QSpinBox *spin(QWidget *parent, const char *name, int min, int max, int value)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

TDBGrid *standingsGrid(const char *name, RecordTable *t, QWidget *parent)
{
    auto *g = new TDBGrid(QString::fromLatin1(name), t, parent);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}
} // namespace

TfrmChampionship::TfrmChampionship(TdmORVS &dm, QWidget *parent) : QWidget(parent), dm_(dm)
{
    setObjectName(QStringLiteral("pnlChampionship"));
    auto *title = label(this, "lbChampTitle", QStringLiteral("Championships"));
    setTitleFont(title);
    lstChampionship = new QListWidget(this);
    lstChampionship->setObjectName(QStringLiteral("lstChampionship"));
    lstChampionship->setMaximumWidth(220);
    btnChampNew = button(this, "btnChampNew", QStringLiteral("New"));
    btnChampDelete = button(this, "btnChampDelete", QStringLiteral("Delete"));

    grpChampionship = new QGroupBox(QStringLiteral("Championship"), this);
    grpChampionship->setObjectName(QStringLiteral("grpChampionship"));
    edtChampName = edit(grpChampionship, "edtChampName", Championships::MaxNameLength);
    lstChampRaces = new QListWidget(grpChampionship);
    lstChampRaces->setObjectName(QStringLiteral("lstChampRaces"));
    cbbChampScheme = new QComboBox(grpChampionship);
    cbbChampScheme->setObjectName(QStringLiteral("cbbChampScheme"));
    cbbChampScheme->addItem(QStringLiteral("Points (linear)"), Season::schemeName(Season::Scheme::Linear));
    cbbChampScheme->addItem(QStringLiteral("Coefficient"), Season::schemeName(Season::Scheme::Coefficient));
    spnChampRatio = spin(grpChampionship, "spnChampRatio", 1, 100, 4);
    spnChampRatio->setPrefix(QStringLiteral("1 in "));
    edtChampMax = edit(grpChampionship, "edtChampMax", 12);
    edtChampMin = edit(grpChampionship, "edtChampMin", 12);
    spnChampBest = spin(grpChampionship, "spnChampBest", 0, 999, 0);
    spnChampBest->setSpecialValueText(QStringLiteral("all"));
    spnChampLoftBirds = spin(grpChampionship, "spnChampLoftBirds", 1, 99, 2);
    btnChampSave = button(grpChampionship, "btnChampSave", QStringLiteral("Save"));
    auto *form = new QFormLayout(grpChampionship);
    form->addRow(label(grpChampionship, "lbChampName", QStringLiteral("Name :")), edtChampName);
    form->addRow(label(grpChampionship, "lbChampRaces", QStringLiteral("Races :")), lstChampRaces);
    form->addRow(label(grpChampionship, "lbChampScheme", QStringLiteral("Scoring :")), cbbChampScheme);
    form->addRow(label(grpChampionship, "lbChampRatio", QStringLiteral("Prizes :")), spnChampRatio);
    form->addRow(label(grpChampionship, "lbChampMax", QStringLiteral("First prize points :")), edtChampMax);
    form->addRow(label(grpChampionship, "lbChampMin", QStringLiteral("Last prize points :")), edtChampMin);
    form->addRow(label(grpChampionship, "lbChampBest", QStringLiteral("Best results per pigeon :")), spnChampBest);
    form->addRow(label(grpChampionship, "lbChampLoftBirds", QStringLiteral("Birds per loft and race :")),
                 spnChampLoftBirds);
    form->addRow(QString(), btnChampSave);

    lblStandingsTitle = valueLabel(this, "lblStandingsTitle", QString());
    setTitleFont(lblStandingsTitle);
    tabStandings = new QTabWidget(this);
    tabStandings->setObjectName(QStringLiteral("tabStandings"));
    adoqAces = new AceStandingList(this);
    adoqAces->setObjectName(QStringLiteral("adoqAces"));
    adoqLofts = new LoftStandingList(this);
    adoqLofts->setObjectName(QStringLiteral("adoqLofts"));
    dbgrdAces = standingsGrid("dbgrdAces", adoqAces, tabStandings);
    dbgrdLofts = standingsGrid("dbgrdLofts", adoqLofts, tabStandings);
    tabStandings->addTab(dbgrdAces, QStringLiteral("Ace pigeons"));
    tabStandings->addTab(dbgrdLofts, QStringLiteral("Best lofts"));
    lblStandingsNote = valueLabel(this, "lblStandingsNote", QString());
    lblStandingsNote->setWordWrap(true);
    btnChampOK = button(this, "btnChampOK", QStringLiteral("OK"));
    btnStandingsPrint = button(this, "btnStandingsPrint", QStringLiteral("Print"));
    btnStandingsExport = button(this, "btnStandingsExport", QStringLiteral("Export"));
    connect(btnStandingsPrint, &QPushButton::clicked, this, &TfrmChampionship::btnStandingsPrintClick);
    connect(btnStandingsExport, &QPushButton::clicked, this, &TfrmChampionship::btnStandingsExportClick);

    connect(lstChampionship, &QListWidget::currentRowChanged, this, [this] { lstChampionshipClick(); });
    connect(btnChampNew, &QPushButton::clicked, this, &TfrmChampionship::btnChampNewClick);
    connect(btnChampSave, &QPushButton::clicked, this, &TfrmChampionship::btnChampSaveClick);
    connect(btnChampDelete, &QPushButton::clicked, this, &TfrmChampionship::btnChampDeleteClick);
    connect(btnChampOK, &QPushButton::clicked, this, &TfrmChampionship::done);
    connect(cbbChampScheme, &QComboBox::currentIndexChanged, this, [this] {
        const bool linear = cbbChampScheme->currentIndex() == 0;
        edtChampMax->setEnabled(linear);
        edtChampMin->setEnabled(linear);
    });

    auto *left = new QVBoxLayout;
    left->addWidget(lstChampionship, 1);
    auto *leftButtons = new QHBoxLayout;
    leftButtons->addWidget(btnChampNew);
    leftButtons->addWidget(btnChampDelete);
    left->addLayout(leftButtons);
    left->addWidget(grpChampionship);
    auto *right = new QVBoxLayout;
    right->addWidget(lblStandingsTitle);
    right->addWidget(tabStandings, 1);
    right->addWidget(lblStandingsNote);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnStandingsPrint);
    bottom->addWidget(btnStandingsExport);
    bottom->addWidget(btnChampOK);
    right->addLayout(bottom);
    auto *body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(title);
    lay->addLayout(body, 1);
    btnChampNewClick();
}

void TfrmChampionship::FormShow()
{
    reload(chosenName());
}

void TfrmChampionship::reload(const QString &keep)
{
    try {
        fillRaces();
        const QSignalBlocker block(lstChampionship);
        lstChampionship->clear();
        for (const Championship &c : Championships::all(dm_))
            lstChampionship->addItem(c.name);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        return;
    }
    const auto found = lstChampionship->findItems(keep, Qt::MatchFixedString);
    const int row = !found.isEmpty() ? lstChampionship->row(found.first()) : (lstChampionship->count() > 0 ? 0 : -1);
    lstChampionship->setCurrentRow(row);
    lstChampionshipClick();
}

QString TfrmChampionship::chosenName() const
{
    const QListWidgetItem *it = lstChampionship->currentItem();
    return it ? it->text() : QString();
}

void TfrmChampionship::fillRaces()
{
    lstChampRaces->clear();
    for (const Championships::RaceChoice &r : Championships::raceChoices(dm_)) {
        auto *it = new QListWidgetItem(QStringLiteral("%1  %2  %3").arg(r.raceCode, r.liberDate, r.liberSite),
                                       lstChampRaces);
        it->setData(Qt::UserRole, r.raceCode);
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Unchecked);
    }
}

void TfrmChampionship::loadEditor(const Championship &c)
{
    edtChampName->setText(c.name);
    for (int i = 0; i < lstChampRaces->count(); ++i) {
        QListWidgetItem *it = lstChampRaces->item(i);
        it->setCheckState(c.races.contains(it->data(Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
    }
    cbbChampScheme->setCurrentIndex(c.rule.scheme == Season::Scheme::Coefficient ? 1 : 0);
    spnChampRatio->setValue(c.rule.ratio);
    edtChampMax->setText(Season::scoreText(c.rule.maxHundredths, Season::Scheme::Linear));
    edtChampMin->setText(Season::scoreText(c.rule.minHundredths, Season::Scheme::Linear));
    spnChampBest->setValue(c.bestCount);
    spnChampLoftBirds->setValue(c.loftBirds);
}

bool TfrmChampionship::readEditor(Championship *c)
{
    c->name = edtChampName->text();
    for (int i = 0; i < lstChampRaces->count(); ++i)
        if (lstChampRaces->item(i)->checkState() == Qt::Checked)
            c->races << lstChampRaces->item(i)->data(Qt::UserRole).toString();
    Season::schemeFromName(cbbChampScheme->currentData().toString(), &c->rule.scheme);
    c->rule.ratio = spnChampRatio->value();
    if (!Season::parsePoints(edtChampMax->text(), &c->rule.maxHundredths) ||
        !Season::parsePoints(edtChampMin->text(), &c->rule.minHundredths)) {
        Dialogs::error(this, QStringLiteral("Points are whole numbers or have up to two decimals, such as 150.50"));
        return false;
    }
    c->bestCount = spnChampBest->value();
    c->loftBirds = spnChampLoftBirds->value();
    return true;
}

void TfrmChampionship::lstChampionshipClick()
{
    const QString name = chosenName();
    if (name.isEmpty()) {
        adoqAces->clear();
        adoqLofts->clear();
        lblStandingsTitle->clear();
        lblStandingsNote->clear();
        return;
    }
    try {
        if (const std::optional<Championship> c = Championships::find(dm_, name))
            loadEditor(*c);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    showStandings();
}

void TfrmChampionship::btnChampNewClick()
{
    loadEditor(Championship());
    edtChampName->setFocus();
}

void TfrmChampionship::btnChampSaveClick()
{
    Championship c;
    if (!readEditor(&c))
        return;
    PanelSink sink(this);
    try {
        if (!Championships::save(dm_, c, sink))
            return;
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        return;
    }
    reload(c.name.trimmed());
}

void TfrmChampionship::btnChampDeleteClick()
{
    const QString name = chosenName();
    if (name.isEmpty() || Dialogs::ask(this, QStringLiteral("This will delete the data ?")) != Answer::Yes)
        return;
    PanelSink sink(this);
    try {
        Championships::remove(dm_, name, sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    reload(QString());
}

void TfrmChampionship::showStandings()
{
    try {
        const std::optional<Championship> c = Championships::find(dm_, chosenName());
        if (!c)
            return;
        const Standings::Result r = Standings::compute(dm_, *c);
        adoqAces->load(r);
        adoqLofts->load(r);
        lblStandingsTitle->setText(QStringLiteral("%1 - %2 races, %3").arg(c->name).arg(c->races.size())
                                       .arg(c->rule.scheme == Season::Scheme::Coefficient
                                                ? QStringLiteral("coefficients (lower is better)")
                                                : QStringLiteral("points")));
        QStringList notes;
        if (!r.racesNotCounted.isEmpty())
            notes << QStringLiteral("No longer in the race list, not counted: %1")
                         .arg(r.racesNotCounted.join(QStringLiteral(", ")));
        if (!r.racesWithoutEntries.isEmpty())
            notes << QStringLiteral("No entries yet: %1").arg(r.racesWithoutEntries.join(QStringLiteral(", ")));
        lblStandingsNote->setText(notes.join(QStringLiteral("\n")));
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TfrmChampionship::btnStandingsPrintClick()
{
    try {
        const std::optional<Championship> c = Championships::find(dm_, chosenName());
        if (!c)
            return;
        showStandings(); // prints the races as they stand now
        const SeasonList &list = tabStandings->currentIndex() == 1 ? static_cast<const SeasonList &>(*adoqLofts)
                                                                   : *adoqAces;
        std::unique_ptr<Report> r = SeasonReports::standings(dm_, list, *c);
        ReportPreview::show(this, *r, ClubSettings::load(dm_).printCount);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TfrmChampionship::btnStandingsExportClick()
{
    const QString name = chosenName();
    if (name.isEmpty())
        return;
    const bool lofts = tabStandings->currentIndex() == 1;
    const QString path = Dialogs::saveFile(
        this, QStringLiteral("Export standings"), QStringLiteral("Workbook (*.xlsx)"),
        QStringLiteral("%1_%2.xlsx").arg(name, lofts ? QStringLiteral("BestLofts") : QStringLiteral("AcePigeons")));
    if (path.isEmpty())
        return;
    showStandings();
    QString error;
    if (!saveSeasonWorkbook(lofts ? static_cast<const SeasonList &>(*adoqLofts) : *adoqAces, path, &error))
        Dialogs::error(this, error);
}
