#include "report/reportpdf.h"

#include "report/report.h"
#include "report/reportlayout.h"
#include "office/savefile.h"

#include <QPdfWriter>


namespace ReportPdf {

int write(const Report &report, QIODevice &device)
{
    QPdfWriter writer(&device);
    writer.setPageLayout(ReportLayout::pageLayout());
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("Pennavox Club Management"));
    if (report.titles().empty()) {
        writer.setTitle(report.formName());
    } else {
        const Report::Field &f = report.titles().front();
        writer.setTitle((f.caption->text().trimmed() + QLatin1Char(' ') + f.value).trimmed());
    }
    return ReportLayout::print(report, writer);
}

int writeFile(const Report &report, const QString &path, QString *error)
{
    int pages = 0;
    QString reason;
    const bool saved = SaveFile::write(
        path,
        [&](QIODevice &out, QString *why) {
            pages = write(report, out);
            if (pages == 0)
                *why = QStringLiteral("the report could not be laid out");
            return pages > 0;
        },
        &reason);
    if (!saved) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, reason);
        return 0;
    }
    return pages;
}

} // namespace ReportPdf
