#include "report/report.h"

#include "store/filename.h"

#include "app/captions.h"
#include "store/appclock.h"
#include "store/tableobject.h"

#include <QAbstractItemModel>
#include <QLocale>
#include <map>

ReportLabel::ReportLabel(const QString &objectName, const QString &text, QObject *parent)
    : QObject(parent), text_(text)
{
    setObjectName(objectName);
}

ClubHeading ClubHeading::of(const ClubSettings &club)
{
    return {club.clubName, club.street, club.city, club.postCode};
}

Report::Report(const QString &formName, QObject *parent)
    : QObject(parent),
      page_(new ReportLabel(QStringLiteral("qrsysPage"), QStringLiteral("Page %1 of %2"), this)),
      printed_(new ReportLabel(QStringLiteral("qrsysDate"), QStringLiteral("Printed %1"), this)),
      printTime_(AppClock::now())
{
    setObjectName(formName);
}

void Report::setModel(const QAbstractItemModel *model)
{
    model_ = model;
}

QString Report::fileName() const
{
    QString name = fileName_;
    if (name.isEmpty() && !titles_.empty())
        name = FileName::of({titles_.front().caption->text(), titles_.front().value});
    return name.isEmpty() ? QStringLiteral("Report") : FileName::of({name});
}

ReportLabel *Report::addTitle(const QString &objectName, const QString &caption, const QString &value)
{
    auto *l = new ReportLabel(objectName, caption, this);
    titles_.push_back({l, value, titles_.empty()});
    return l;
}

ReportLabel *Report::addColumn(const QString &objectName, int source, const QString &header, double weight)
{
    QString text = header;
    Qt::Alignment a = Qt::AlignLeft;
    if (model_ && source >= 0) {
        if (text.isEmpty())
            text = model_->headerData(source, Qt::Horizontal, Qt::DisplayRole).toString();
        const QVariant al = model_->headerData(source, Qt::Horizontal, Qt::TextAlignmentRole);
        if (al.metaType() == QMetaType::fromType<Qt::Alignment>())
            a = al.value<Qt::Alignment>();
        else if (al.isValid())
            a = Qt::Alignment(al.toInt());
    }
    auto *l = new ReportLabel(objectName, text, this);
    columns_.push_back({source, l, a & Qt::AlignHorizontal_Mask, weight});
    return l;
}

void Report::addModelColumns()
{
    if (!model_)
        return;
    for (int c = 0; c < model_->columnCount(); ++c)
        addColumn(QStringLiteral("qrlCol%1").arg(c), c);
}

ReportLabel *Report::addFooter(const QString &objectName, const QString &caption, const QString &value)
{
    auto *l = new ReportLabel(objectName, caption, this);
    footers_.push_back({l, value, false});
    return l;
}

QString Report::printTimeText() const
{
    return QLocale::system().toString(printTime_, QLocale::ShortFormat);
}

void Report::translate(TdmORVS &dm, int language)
{
    for (const auto &row : Captions::rowsFor(dm, formName(), language)) {
        if (row.kind != Captions::Kind::ReportLabel)
            continue;
        if (auto *l = findChild<ReportLabel *>(row.objectCode);
            l && !Captions::isFixed(l) && !Captions::isUnitTitle(l->text()))
            l->setText(row.caption);
    }
}

std::vector<std::pair<QString, QString>> Report::captionLabels() const
{
    std::map<QString, QString> byName;
    for (const ReportLabel *l : findChildren<ReportLabel *>()) {
        const QString name = l->objectName();
        if (Captions::kindOf(name) != Captions::Kind::ReportLabel || byName.count(name))
            continue;
        const ReportLabel *reached = findChild<ReportLabel *>(name); // the label a row of that name reaches
        if (!Captions::isFixed(reached) && !Captions::isUnitTitle(reached->text()) &&
            !reached->text().trimmed().isEmpty())
            byName[name] = reached->text();
    }
    return {byName.begin(), byName.end()};
}

int Report::rowCount() const
{
    return model_ ? model_->rowCount() : 0;
}

QString Report::cellText(int row, int column) const
{
    const Column &c = columns_.at(static_cast<size_t>(column));
    if (!model_ || c.source < 0)
        return {};
    return model_->data(model_->index(row, c.source), Qt::DisplayRole).toString();
}
