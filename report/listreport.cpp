#include "report/listreport.h"

#include "app/captions.h"
#include "store/recordtable.h"
#include "store/tableobject.h"

namespace ListReport {

std::unique_ptr<Report> make(const QString &formName, RecordTable *list, const ClubSettings &club, bool withHeading)
{
    auto report = std::make_unique<Report>(formName);
    list->setParent(report.get());
    report->setModel(list);
    if (withHeading)
        report->setHeading(ClubHeading::of(club));
    const auto &cols = list->columns();
    for (size_t c = 0; c < cols.size(); ++c) {
        const QString name = cols[c].lineNumber    ? QStringLiteral("qrlLine")
                             : cols[c].field.isEmpty() ? QStringLiteral("qrlCol%1").arg(c)
                                                       : QStringLiteral("qrl") + cols[c].field;
        report->addColumn(name, static_cast<int>(c));
    }
    return report;
}

void finish(Report &report, TdmORVS &dm, const ClubSettings &club)
{
    report.translate(dm, club.language);
}

void setHeader(Report &report, const QString &objectName, const QString &text)
{
    if (auto *l = report.findChild<ReportLabel *>(objectName)) {
        l->setText(text);
        Captions::markFixed(l); // follows the club's unit, which a caption row would not
    }
}

} // namespace ListReport
