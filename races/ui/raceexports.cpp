// The races page's result exports: WinSpeed file, SMS files, result workbook, XML read-out data set.
#include "app/ui/dialogs.h"
#include "races/racelists.h"
#include "races/resultexports.h"
#include "races/ui/racepage.h"

#include "store/filename.h"

#include <QDir>

void TfrmRace_TC::CreateWinSpeed()
{
    const auto race = chosenRace();
    if (!race)
        return;
    const QString path = Dialogs::saveFile(this, QStringLiteral("Generate WinSpeed File"),
                                           QStringLiteral("WinSpeed file (*.D00);;All files (*)"),
                                           ResultExports::winSpeedFileName(race->liberDate));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    ResultExports::saveWinSpeed(dm(), *race, path, sink);
}

void TfrmRace_TC::CreateSMSTextFile()
{
    const auto race = chosenRace();
    if (!race)
        return;
    // Each file has its own dialog; cancelling one skips only that file.
    DialogSink sink(this);
    const QString members = Dialogs::saveFile(this, QStringLiteral("Generate SMS Text File"),
                                              QStringLiteral("Texe file (COTE.txt)"), ResultExports::SmsMemberFileName);
    if (!members.isEmpty())
        ResultExports::saveSms(dm(), *race, members, QString(), sink);
    const QString birds = Dialogs::saveFile(this, QStringLiteral("Generate SMS Text File"),
                                            QStringLiteral("Texe file (RING.txt)"), ResultExports::SmsBirdFileName);
    if (!birds.isEmpty())
        ResultExports::saveSms(dm(), *race, QString(), birds, sink);
}

void TfrmRace_TC::butResultExportClick()
{
    const auto race = chosenRace();
    const QString name = race ? FileName::of({QStringLiteral("Result"), race->raceCode, race->liberSite})
                              : QStringLiteral("Result");
    const QString path = Dialogs::saveFile(this, QStringLiteral("ResultExport_Excel"),
                                           QStringLiteral("Excel File (*.xlsx)"), name + QStringLiteral(".xlsx"));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    ResultExports::saveResultWorkbook(*adoqRaceRec, path, sink);
}

void TfrmRace_TC::btnResultExport_XMLClick()
{
    const auto race = chosenRace();
    if (!race)
        return;
    // The read-out archive folder of the clock software, when this PC has it.
    const QString archive = QDir::current().rootPath() + QStringLiteral("Merovia/meroviatech/backup");
    const QString folder = QDir(archive).exists() ? archive : QDir::currentPath();
    const QString path = Dialogs::saveFile(this, QStringLiteral("ResultExport_XML"), QStringLiteral("XML file (*.xml)"),
                                           QDir(folder).filePath(ResultExports::xmlFileName(*race)));
    if (path.isEmpty())
        return;
    DialogSink sink(this);
    ResultExports::saveXml(dm(), *race, path, sink);
}
