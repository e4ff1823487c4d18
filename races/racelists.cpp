#include "races/racelists.h"

#include "races/distances.h"
#include "races/raceinfo.h"
#include "races/resulttext.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlQuery>

namespace {
QString field(const QSqlRecord &r, const char *name)
{
    return r.value(QLatin1String(name)).toString();
}

// "hh:nn:ss", empty when NULL.
QString timeText(const QVariant &stored)
{
    const QTime t = ValueText::parseTime(stored);
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString();
}
} // namespace

using namespace ListAlign;

// ---- race list

RaceList::RaceList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto date = [](const QSqlRecord &r) {
        return ValueText::shortDate(r.value(QStringLiteral("LiberDate")));
    };
    const auto time = [](const QSqlRecord &r) { return timeText(r.value(QStringLiteral("LiberTime"))); };
    if (layout == ListLayout::Grid)
        setColumns({column(QStringLiteral("ClubID"), QStringLiteral("Club")),
                    column(QStringLiteral("LiberCode"), QStringLiteral("Code")),
                    column(QStringLiteral("LiberSiteAbbr"), QStringLiteral("LibSite Abbre.")),
                    column(QStringLiteral("LiberSite"), QStringLiteral("Liberation Site")),
                    column(QStringLiteral("LiberDate"), QStringLiteral("Lib. Date"), Centre, date),
                    column(QStringLiteral("LiberTime"), QStringLiteral("Lib. Time"), Centre, time),
                    column(QStringLiteral("RaceCode"), QStringLiteral("RaceCode"))});
    else
        setColumns({column(QStringLiteral("ClubID"), QStringLiteral("Club")),
                    column(QStringLiteral("LiberCode"), QStringLiteral("Code")),
                    column(QStringLiteral("LiberSiteAbbr"), QStringLiteral("Lib.Site Abbr.")),
                    column(QStringLiteral("LiberSite"), QStringLiteral("Liberation Site")),
                    column(QStringLiteral("LiberDate"), QStringLiteral("Lib Date"), Centre, date),
                    column(QStringLiteral("LiberTime"), QStringLiteral("Lib Time"), Centre, time)});
}

void RaceList::load()
{
    RecordTable::load(dm_, QStringLiteral("SELECT * FROM ORV_RaceData WHERE COALESCE(DeleteMark,0)=0 "
                                          "ORDER BY date(LiberDate), rowid"));
}

// ---- race result

RaceResultList::RaceResultList(TdmORVS &dm, ListLayout layout, QObject *parent)
    : RecordTable(parent), dm_(dm), layout_(layout)
{
    const auto name = [](const QSqlRecord &r) { return field(r, "LoftName"); };
    const auto clocked = [](const QSqlRecord &r) { return ResultText::clocked(field(r, "BackTime")); };
    const auto flyTime = [](const QSqlRecord &r) { return ResultText::flyTimeShort(field(r, "FlyTime")); };
    const auto speed = [](const QSqlRecord &r) {
        return ResultText::speed(r.value(QStringLiteral("FlySpeed")));
    };
    const auto vari = [](const QSqlRecord &r) {
        return ResultText::variation(r.value(QStringLiteral("TimeVari")));
    };
    const QString unit = speedTitle(0, layout);
    if (layout == ListLayout::Grid)
        setColumns({column(QStringLiteral("Pos"), QStringLiteral("Pos."), Right),
                    column(QStringLiteral("LoftNo"), QStringLiteral("Name"), Left, name),
                    column(QStringLiteral("PRingNo"), QStringLiteral("Ring")),
                    column(QStringLiteral("Sex"), QStringLiteral("S"), Centre),
                    column(QStringLiteral("ColorType"), QStringLiteral("C"), Centre),
                    column(QStringLiteral("BackTime"), QStringLiteral("Clocked"), Centre, clocked),
                    column(QStringLiteral("FlyTime"), QStringLiteral("FlyiTime"), Centre, flyTime),
                    column(QStringLiteral("FlySpeed"), unit, Right, speed),
                    column(QStringLiteral("TimeVari"), QStringLiteral("Var"), Right, vari),
                    column(QStringLiteral("Dist"), QStringLiteral("Dist"), Right,
                           textOf(QStringLiteral("DistText")))});
    else
        setColumns({column(QStringLiteral("Pos"), QStringLiteral("Pos."), Right),
                    column(QStringLiteral("LoftNo"), QStringLiteral("Name"), Left, name),
                    column(QStringLiteral("PRingNo"), QStringLiteral("Ring")),
                    column(QStringLiteral("BackTime"), QStringLiteral("Clocked"), Centre, clocked),
                    column(QStringLiteral("FlyTime"), QStringLiteral("FlyTime"), Centre, flyTime),
                    column(QStringLiteral("FlySpeed"), unit, Right, speed),
                    column(QStringLiteral("Dist"), QStringLiteral("Dist."), Right,
                           textOf(QStringLiteral("DistText"))),
                    column(QStringLiteral("Sex"), QStringLiteral("S"), Centre),
                    column(QStringLiteral("TimeVari"), QStringLiteral("Var"), Right, vari),
                    column(QStringLiteral("ColorType"), QStringLiteral("C"), Centre)});
}

QString RaceResultList::speedTitle(int mode, ListLayout layout)
{
    if (layout == ListLayout::Grid)
        return mode == 0 ? QStringLiteral("MPM") : QStringLiteral("Yds/Min");
    return mode == 0 ? QStringLiteral("M/min") : QStringLiteral("Yds/min");
}

void RaceResultList::load(const QString &raceCode)
{
    std::vector<QSqlRecord> records = arrivalRows(dm_, Ranking::resultList(dm_, raceCode));
    summary_ = Ranking::summary(dm_, raceCode, static_cast<int>(records.size()));
    sunGaps_ = Ranking::sunGapsText(dm_, raceCode);
    setRows(std::move(records));
    setHeaderData(columnOfField(QStringLiteral("FlySpeed")), Qt::Horizontal,
                  speedTitle(Races::clubMode(dm_), layout_));
}

std::vector<QSqlRecord> arrivalRows(TdmORVS &dm, const std::vector<Ranking::Arrival> &arrivals)
{
    const QHash<QString, QString> names = LoftDistText::loftNames(dm);
    const QSqlRecord templ = RecordTable::recordTemplate(
        {QStringLiteral("Pos"), QStringLiteral("LiberCode"), QStringLiteral("PRingNo"),
         QStringLiteral("RCountry"), QStringLiteral("RYear"), QStringLiteral("RRegLetter"),
         QStringLiteral("RRegNumber"), QStringLiteral("LoftNo"), QStringLiteral("LoftName"),
         QStringLiteral("Sex"), QStringLiteral("ColorType"), QStringLiteral("BackTime"),
         QStringLiteral("FlyTime"), QStringLiteral("FlySpeed"), QStringLiteral("TimeVari"),
         QStringLiteral("Dist"), QStringLiteral("DistText"), QStringLiteral("Margin")});
    const QString leader = arrivals.empty() ? QString() : arrivals.front().flyTime;
    const int mode = Races::clubMode(dm);
    std::vector<QSqlRecord> records;
    records.reserve(arrivals.size());
    for (const Ranking::Arrival &a : arrivals) {
        QSqlRecord r = templ;
        const QVariantList values{a.pos,
                                  a.liberCode,
                                  a.ringNo,
                                  a.ringCountry,
                                  a.ringYear,
                                  a.ringLetters,
                                  a.ringNumber,
                                  a.loftNo,
                                  a.loftNo.isNull() ? QString() : names.value(a.loftNo.toString()),
                                  a.sex,
                                  a.colorType,
                                  a.backTime,
                                  a.flyTime,
                                  a.flySpeed,
                                  a.timeVari,
                                  a.dist,
                                  a.hasDistanceRow ? ResultText::distance(a.miles, a.yards, mode)
                                                   : QStringLiteral("0"),
                                  ResultText::margin(leader, a.flyTime)};
        for (int i = 0; i < values.size(); ++i)
            r.setValue(i, values.at(i));
        records.push_back(std::move(r));
    }
    return records;
}

// ---- race status

RaceStatusList::RaceStatusList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto name = [](const QSqlRecord &r) { return field(r, "LoftName"); };
    setColumns(
        {column(QStringLiteral("LoftNo"), QStringLiteral("Member"), Left, name),
         column(QStringLiteral("ClockID"), QStringLiteral("Clock"), Centre),
         column(QStringLiteral("MarkedCnt"),
                layout == ListLayout::Grid ? QStringLiteral("Birds marked") : QStringLiteral("Birds Marked"),
                Right),
         column(QStringLiteral("ArriveCnt"), QStringLiteral("Birds arrived"), Right)});
}

void RaceStatusList::load(const QString &raceCode)
{
    // A bird counts as arrived only with a non-empty arrival.
    std::vector<QSqlRecord> rows = dm_.rows(
        QStringLiteral("SELECT b.LoftNo, a.ClockID, COUNT(b.LoftNo) AS MarkedCnt, "
                       "COUNT(NULLIF(a.BackTime,'')) AS ArriveCnt, '' AS LoftName "
                       "FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                       "WHERE a.RaceCode=? GROUP BY b.LoftNo, a.ClockID ORDER BY b.LoftNo, a.ClockID"),
        {raceCode});
    const QHash<QString, QString> names = LoftDistText::loftNames(dm_);
    for (QSqlRecord &r : rows) {
        const QVariant loft = r.value(QStringLiteral("LoftNo"));
        r.setValue(QStringLiteral("LoftName"), loft.isNull() ? QString() : names.value(loft.toString()));
    }
    setRows(std::move(rows));
}

// ---- distances

DistanceList::DistanceList(TdmORVS &dm, bool withLiberCode, ListLayout layout, QObject *parent)
    : RecordTable(parent), dm_(dm), layout_(layout)
{
    const auto miles = [](const QSqlRecord &r) {
        return LoftDistText::milesOrYards(r.value(QStringLiteral("Miles")));
    };
    const auto yards = [](const QSqlRecord &r) {
        return LoftDistText::milesOrYards(r.value(QStringLiteral("Yards")));
    };
    std::vector<Column> cols;
    if (withLiberCode && layout == ListLayout::Grid)
        cols.push_back(column(QStringLiteral("LiberCode"), QStringLiteral("LiberCode")));
    cols.push_back(column(QStringLiteral("LoftName"), QStringLiteral("Member")));
    cols.push_back(column(QStringLiteral("LoftNo"), layout == ListLayout::Grid
                                                        ? QStringLiteral("LoftNo")
                                                        : QStringLiteral("Loft Number")));
    cols.push_back(column(QStringLiteral("Miles"), QStringLiteral("Miles"), Right, miles));
    cols.push_back(column(QStringLiteral("Yards"), QStringLiteral("Yards"), Right, yards));
    setColumns(std::move(cols));
}

void DistanceList::load(const QString &liberCode)
{
    QString sql = QStringLiteral("SELECT rowid, LiberCode, LoftNo, Miles, Yards, '' AS LoftName "
                                 "FROM ORV_LoftLibPointDist");
    QVariantList binds;
    if (!liberCode.isEmpty()) {
        sql += QStringLiteral(" WHERE LiberCode=?");
        binds << liberCode;
    }
    std::vector<QSqlRecord> rows = dm_.rows(sql + QStringLiteral(" ORDER BY rowid"), binds);
    const QHash<QString, QString> names = LoftDistText::loftNames(dm_);
    for (QSqlRecord &r : rows)
        r.setValue(QStringLiteral("LoftName"), names.value(r.value(QStringLiteral("LoftNo")).toString()));
    setRows(std::move(rows));
    const int mode = Races::clubMode(dm_);
    const int c = columnOfField(QStringLiteral("Miles"));
    setHeaderData(c, Qt::Horizontal, mode == 0 ? QStringLiteral("KM") : QStringLiteral("Miles"));
    setHeaderData(c + 1, Qt::Horizontal, mode == 0 ? QStringLiteral("M") : QStringLiteral("Yards"));
}

bool DistanceList::isDistanceColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        return false;
    const QString f = columns().at(static_cast<size_t>(column)).field;
    return f == QLatin1String("Miles") || f == QLatin1String("Yards");
}

QVariant DistanceList::data(const QModelIndex &index, int role) const
{
    if (role == Qt::EditRole && index.isValid())
        return value(index.row(), columns().at(static_cast<size_t>(index.column())).field);
    return RecordTable::data(index, role);
}

bool DistanceList::setData(const QModelIndex &index, const QVariant &v, int role)
{
    if (!index.isValid() || role != Qt::EditRole || layout_ != ListLayout::Grid ||
        !isDistanceColumn(index.column()))
        return false;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    if (!ok)
        return false;
    const QString f = columns().at(static_cast<size_t>(index.column())).field;
    const bool whole = f == QLatin1String("Miles");
    if (const QString problem = Distances::checkStored(
            whole ? QVariant(n) : QVariant(), whole ? QVariant() : QVariant(n), Races::clubMode(dm_));
        !problem.isEmpty()) {
        emit refused(problem);
        return false;
    }
    dm_.exec(QStringLiteral("UPDATE ORV_LoftLibPointDist SET %1=? WHERE rowid=?")
                 .arg(f == QLatin1String("Miles") ? QStringLiteral("Miles") : QStringLiteral("Yards")),
             {n, value(index.row(), QStringLiteral("rowid"))});
    setValue(index.row(), f, n);
    return true;
}

Qt::ItemFlags DistanceList::flags(const QModelIndex &index) const
{
    Qt::ItemFlags fl = RecordTable::flags(index);
    if (layout_ == ListLayout::Grid && isDistanceColumn(index.column()))
        fl |= Qt::ItemIsEditable;
    return fl;
}

// ---- other clock

OtherClockList::OtherClockList(TdmORVS &dm, QObject *parent) : RecordTable(parent), dm_(dm)
{
    setColumns({column(QStringLiteral("PRingNo"), QStringLiteral("Ring ")),
                column(QStringLiteral("BackTime"), QStringLiteral("Time"))});
}

void OtherClockList::load(const QString &raceCode, const QString &loftNo)
{
    RecordTable::load(dm_,
                      QStringLiteral("SELECT a.PRingNo, (SELECT b.BackTime FROM ORV_PigRaceData b WHERE "
                                     "b.RaceCode=? AND b.PRingNo=a.PRingNo LIMIT 1) AS BackTime "
                                     "FROM ORV_PigData a WHERE a.LoftNo=? ORDER BY a.PRingNo"),
                      {raceCode, loftNo});
}
