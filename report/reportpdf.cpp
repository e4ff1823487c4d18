#include "report/reportpdf.h"

#include "report/report.h"
#include "report/reportlayout.h"

#include <QPdfWriter>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return 0;
    }
    const int pages = write(report, file);
    if (pages == 0 || file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return 0;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return 0;
    }
    return pages;
}

} // namespace ReportPdf
