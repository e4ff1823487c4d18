#include "app/program/pages.h"
#include "app/ui/mainwindow.h"
#include "store/datafolder.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pennavox"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pennavox Club Management"));
    QApplication::setApplicationVersion(QStringLiteral("8.80"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pennavox Club Management: races, members and clocks."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption dataOpt(QStringLiteral("data"), QStringLiteral("Data folder."), QStringLiteral("DIR"));
    QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Serial port of the antenna."),
                               QStringLiteral("PORT"));
    QCommandLineOption traceOpt(QStringLiteral("trace"), QStringLiteral("Hex trace of the device link."),
                                QStringLiteral("FILE"));
    QCommandLineOption pageOpt(QStringLiteral("page"), QStringLiteral("Page to open at start, 1 Home to 5 Setup."),
                               QStringLiteral("N"));
    parser.addOptions({dataOpt, portOpt, traceOpt, pageOpt});
    parser.process(app);

    std::unique_ptr<TdmORVS> dm;
    try {
        dm = std::make_unique<TdmORVS>(DataFolder::resolve(parser.value(dataOpt)));
    } catch (const SqlError &e) {
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(),
                              QStringLiteral("The club database cannot be opened:\n%1").arg(e.message()));
        return 1;
    }
    TdmORVS::setInstance(dm.get());
    registerPages();

    int rc = 0;
    {
        TfrmMenu_V8_EU_10_TC w(*dm);
        if (!w.clubReady())
        {
            w.close(); // runs the close-time purge; nothing else happens
            return 0;  // first-run setup left without a saved club
        }
        w.show();
        if (parser.isSet(pageOpt))
            QTimer::singleShot(0, &w, [&w, n = parser.value(pageOpt).toInt()] { w.openPage(n); });
        rc = app.exec();
    }
    return rc;
}
