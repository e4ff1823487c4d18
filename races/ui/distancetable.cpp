#include "races/ui/distancetable.h"

#include "store/recordtable.h"
#include "store/sorttext.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QHash>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

DistanceTable::DistanceTable(TdmORVS &dm, bool withLiberCode, QObject *parent)
    : QAbstractTableModel(parent), dm_(dm), withLiberCode_(withLiberCode)
{
    if (withLiberCode_) {
        fields_ << QStringLiteral("LiberCode");
        titles_ << QStringLiteral("LiberCode");
    }
    fields_ << QStringLiteral("LoftName") << QStringLiteral("LoftNo") << QStringLiteral("Miles")
            << QStringLiteral("Yards");
    titles_ << QStringLiteral("Member") << QStringLiteral("LoftNo") << QStringLiteral("Miles")
            << QStringLiteral("Yards");
}

void DistanceTable::load(const QString &liberCode)
{
    filter_ = liberCode;
    QHash<QString, QString> names;
    for (const auto &r : dm_.rows(QStringLiteral("SELECT LoftNo, LoftName FROM ORV_LoftData")))
        if (!names.contains(r.value(0).toString()))
            names.insert(r.value(0).toString(), r.value(1).toString());
    QString sql = QStringLiteral("SELECT rowid, LiberCode, LoftNo, Miles, Yards FROM ORV_LoftLibPointDist");
    QVariantList binds;
    if (!liberCode.isEmpty()) {
        sql += QStringLiteral(" WHERE LiberCode=?");
        binds << liberCode;
    }
    beginResetModel();
    rows_.clear();
    for (const auto &r : dm_.rows(sql + QStringLiteral(" ORDER BY rowid"), binds))
        rows_.push_back({r.value(0).toLongLong(), r.value(1).toString(), r.value(2).toString(), r.value(3),
                         r.value(4), names.value(r.value(2).toString())});
    endResetModel();
}

void DistanceTable::setUnitTitles(int mode)
{
    const int c = withLiberCode_ ? 3 : 2;
    titles_[c] = mode == 0 ? QStringLiteral("KM") : QStringLiteral("Miles");
    titles_[c + 1] = mode == 0 ? QStringLiteral("M") : QStringLiteral("Yards");
    emit headerDataChanged(Qt::Horizontal, c, c + 1);
}

QString DistanceTable::fieldOf(int column) const
{
    return fields_.value(column);
}

QVariant DistanceTable::value(int row, const QString &field) const
{
    return fieldValue(rows_.at(static_cast<size_t>(row)), field);
}

QVariant DistanceTable::fieldValue(const Row &r, const QString &field)
{
    if (field == QLatin1String("LiberCode"))
        return r.liberCode;
    if (field == QLatin1String("LoftNo"))
        return r.loftNo;
    if (field == QLatin1String("Miles"))
        return r.miles;
    if (field == QLatin1String("Yards"))
        return r.yards;
    return r.loftName;
}

void DistanceTable::applySort(const QString &sortText)
{
    const QString f = SortText::field(sortText);
    if (!fields_.contains(f))
        return;
    const bool desc = SortText::isDescending(sortText);
    beginResetModel();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row &a, const Row &b) {
        const int c = RecordTable::compareValues(fieldValue(a, f), fieldValue(b, f));
        return desc ? c > 0 : c < 0;
    });
    endResetModel();
}

int DistanceTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DistanceTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant DistanceTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QString f = fields_.at(index.column());
    const QVariant v = value(index.row(), f);
    const bool number = f == QLatin1String("Miles") || f == QLatin1String("Yards");
    if (role == Qt::DisplayRole)
        return number ? ValueText::groupedInteger(v) : v.toString();
    if (role == Qt::EditRole)
        return v;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(number ? Qt::AlignRight | Qt::AlignVCenter
                                          : Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

bool DistanceTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString f = fields_.at(index.column());
    if (f != QLatin1String("Miles") && f != QLatin1String("Yards"))
        return false;
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    if (!ok)
        return false;
    Row &r = rows_[static_cast<size_t>(index.row())];
    dm_.exec(QStringLiteral("UPDATE ORV_LoftLibPointDist SET %1=? WHERE rowid=?").arg(f), {n, r.rowid});
    (f == QLatin1String("Miles") ? r.miles : r.yards) = n;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DistanceTable::flags(const QModelIndex &index) const
{
    Qt::ItemFlags fl = QAbstractTableModel::flags(index);
    const QString f = fields_.value(index.column());
    if (f == QLatin1String("Miles") || f == QLatin1String("Yards"))
        fl |= Qt::ItemIsEditable;
    return fl;
}

QVariant DistanceTable::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_.at(section);
    return QAbstractTableModel::headerData(section, o, role);
}

bool DistanceTable::setHeaderData(int section, Qt::Orientation o, const QVariant &value, int role)
{
    if (o != Qt::Horizontal || section < 0 || section >= titles_.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    titles_[section] = value.toString();
    emit headerDataChanged(o, section, section);
    return true;
}

QWidget *DistanceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &) const
{
    auto *e = new QLineEdit(parent);
    e->setValidator(new QIntValidator(0, 99999999, e));
    return e;
}

bool DistanceDelegate::eventFilter(QObject *editor, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        const bool digit = t.size() == 1 && t.at(0).isDigit();
        const bool post = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        const bool navigation = k->key() == Qt::Key_Left || k->key() == Qt::Key_Right ||
                                k->key() == Qt::Key_Home || k->key() == Qt::Key_End;
        if (!digit && !post && !navigation && (k->key() == Qt::Key_Backspace || !t.isEmpty())) {
            auto *w = qobject_cast<QWidget *>(editor);
            emit closeEditor(w, QAbstractItemDelegate::RevertModelCache); // cancel the pending edit
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
