#include "app/captionfiles.h"
#include "app/program/demo.h"
#include "app/program/pages.h"
#include "app/program/virtualclocks.h"
#include "pennavox/version.h"
#include "device/devicelink.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "app/ui/dialogs.h"
#include "app/ui/mainwindow.h"
#include "store/datafolder.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <memory>

namespace {
// A statement that fails ends the user's action with the database's own message; the program
// goes on. Pages catch what they expect; this is the net under every handler.
class TApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const SqlError &e) {
            QMessageBox::critical(activeWindow(), Dialogs::programTitle(), e.message());
        } catch (const std::exception &e) {
            QMessageBox::critical(activeWindow(), Dialogs::programTitle(), QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

// The virtual clocks stand beside the main window, never over a page: on a screen too narrow for
// both, the main window gives up the width.
void placeBeside(QWidget &main, QWidget &tool)
{
    const QScreen *screen = main.screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const int frame = 12; // window manager borders, a guess before the frames are known
    const int room = free.width() - tool.width() - 3 * frame;
    if (main.width() > room)
        main.resize(qMax(room, main.minimumSizeHint().width()), main.height());
    const int left = free.left() + qMax(0, (free.width() - main.width() - tool.width() - 3 * frame) / 2);
    main.move(left, main.y());
    tool.move(qMin(left + main.width() + 2 * frame, free.right() - tool.width()), main.y() + 40);
}
} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pennavox"));
    QApplication::setApplicationVersion(QStringLiteral(PENNAVOX_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pennavox.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pennavox.Pennavox"));

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
    QCommandLineOption demoOpt(QStringLiteral("demo"),
                               QStringLiteral("Start a demo club with a virtual antenna and clocks (its database in "
                                              "--data DIR when given; a demo database there is replaced, another "
                                              "club's is refused)."));
    parser.addOptions({dataOpt, portOpt, traceOpt, pageOpt, demoOpt});
    parser.process(app);

    const bool demo = parser.isSet(demoOpt);
    QString demoError;
    const QString dataFolder =
        demo ? Demo::prepareFolder(parser.value(dataOpt), &demoError) : DataFolder::resolve(parser.value(dataOpt));
    if (demo && dataFolder.isEmpty()) {
        QMessageBox::critical(nullptr, Dialogs::programTitle(), demoError);
        return 1;
    }
    std::unique_ptr<TdmORVS> dm;
    try {
        dm = std::make_unique<TdmORVS>(dataFolder);
        if (dm->createdNow()) // a new database starts with the captions of every language
            CaptionFiles::loadShipped(*dm);
        if (demo)
            Demo::seed(*dm);
    } catch (const SqlError &e) {
        QMessageBox::critical(nullptr, Dialogs::programTitle(),
                              QStringLiteral("The club database cannot be opened:\n%1").arg(e.message()));
        return 1;
    }
    // What the opening mended, and a club that can only be read, are said before anything else.
    if (!dm->startNotice().isEmpty())
        QMessageBox::information(nullptr, Dialogs::programTitle(), dm->startNotice());
    if (dm->readOnly())
        QMessageBox::warning(nullptr, Dialogs::programTitle(), dm->readOnlyReason());
    TdmORVS::setInstance(dm.get());
    DeviceLink::configure({parser.value(portOpt), parser.value(traceOpt), dataFolder});
    std::unique_ptr<ClockSimulator> sim;
    if (demo) {
        // Every driver the pages create talks to the virtual antenna instead of a serial port.
        sim = Demo::makeSimulator(*dm);
        ClockSimulator *s = sim.get();
        DeviceLink::setFactory([s] { return std::make_unique<SimLink>(*s, SimLink::Timing::Real); });
    }
    registerPages();

    int rc = 0;
    {
        TfrmMenu_V8_EU_10_TC w(*dm);
        if (!w.clubReady())
        {
            w.close(); // runs the close-time purge; nothing else happens
            return 0;  // first-run setup left without a saved club
        }
        std::unique_ptr<TfrmVirtualClocks> clocks;
        if (sim) {
            // A tool window of the main window: it stays in front of it and goes with it.
            clocks = std::make_unique<TfrmVirtualClocks>(*sim, *dm, &w);
            placeBeside(w, *clocks);
        }
        w.show();
        if (clocks)
            clocks->show();
        if (parser.isSet(pageOpt))
            QTimer::singleShot(0, &w, [&w, n = parser.value(pageOpt).toInt()] { w.openPage(n); });
        rc = app.exec();
    }
    return rc;
}
