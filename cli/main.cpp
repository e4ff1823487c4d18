#include "cli/clicommand.h"

#include "app/captionfiles.h"

#include "store/datafolder.h"
#include "pennavox/version.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
std::vector<CliCommand> &registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

void printHelp()
{
    out() << "Usage: pennavox-cli [--data DIR] [--port PORT] [--trace FILE] COMMAND [ARGS]\n\n"
             "Runs the operations of Pennavox Club Management without a window.\n\n"
             "Options:\n"
             "  --data DIR    data folder (database, ORVS.udl, ORVS.ini)\n"
             "  --port PORT   serial port of the club antenna\n"
             "  --trace FILE  write a hex trace of every byte on the link\n"
             "  --version     the version\n"
             "  --help        this text\n\n"
             "Commands:\n";
    auto cmds = registry();
    std::sort(cmds.begin(), cmds.end(), [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    for (const auto &c : cmds)
        out() << "  " << c.usage.leftJustified(44) << " " << c.summary << "\n";
    out().flush();
}
} // namespace

void TerminalSink::message(const QString &text, MessageKind kind)
{
    const char *prefix = "info";
    switch (kind) {
    case MessageKind::Working: prefix = "working"; break;
    case MessageKind::Failure: prefix = "failure"; failed = true; break;
    case MessageKind::Success: prefix = "success"; break;
    case MessageKind::Info: prefix = "info"; break;
    }
    out() << prefix << ": " << text << "\n";
    out().flush();
}

Answer TerminalSink::ask(const QString &question, bool)
{
    static const char *const names[] = {"Yes", "No", "Cancel"};
    out() << "question: " << question << " -> " << names[static_cast<int>(answer)] << "\n";
    out().flush();
    return answer;
}

void TerminalSink::progress(int done, int total, const QString &what)
{
    QTextStream err(stderr);
    err << "progress: " << what << " " << done << " of " << total << "\n";
}

TdmORVS &CliContext::dm()
{
    if (!dm_) {
        dm_ = std::make_unique<TdmORVS>(dataDir);
        if (!dm_->startNotice().isEmpty())
            sink.info(dm_->startNotice());
        if (dm_->createdNow()) // as the program does: a new database holds every language's captions
            CaptionFiles::loadShipped(*dm_);
    }
    return *dm_;
}

CliContext::~CliContext() = default;

bool CliContext::takeOption(const QString &name, QString *value)
{
    const int i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return false;
    *value = args.at(i + 1);
    args.remove(i, 2);
    return true;
}

bool CliContext::takeFlag(const QString &name)
{
    return args.removeAll(name) > 0;
}

CliRegistrar::CliRegistrar(CliCommand c)
{
    registry().push_back(std::move(c));
}

const std::vector<CliCommand> &cliCommands()
{
    return registry();
}

namespace {
// The command a command line names (the first word after the global options), if it is known.
const CliCommand *commandOf(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--data") || a == QLatin1String("--port") || a == QLatin1String("--trace")) {
            ++i;
            continue;
        }
        if (a.startsWith(QLatin1String("--")))
            continue;
        for (const auto &c : registry())
            if (c.name == a)
                return &c;
        return nullptr;
    }
    return nullptr;
}

std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    const CliCommand *c = commandOf(argc, argv);
    if (c && c->needsGui) {
        // Fonts need a GUI application; without a display it runs offscreen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}
} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("Pennavox"));
    QStringList args = app.arguments().mid(1);
    CliContext ctx;
    QString dataDir;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--help")) {
            printHelp();
            return 0;
        }
        if (opt == QLatin1String("--version")) {
            out() << "pennavox-cli " << PENNAVOX_VERSION << "\n";
            out().flush();
            return 0;
        }
        if ((opt == QLatin1String("--data") || opt == QLatin1String("--port") || opt == QLatin1String("--trace")) &&
            !args.isEmpty()) {
            const QString v = args.takeFirst();
            (opt == QLatin1String("--data") ? dataDir : opt == QLatin1String("--port") ? ctx.port : ctx.trace) = v;
            continue;
        }
        QTextStream(stderr) << "Unknown option " << opt << " (see --help)\n";
        return 2;
    }
    if (args.isEmpty()) {
        printHelp();
        return 2;
    }
    const QString name = args.takeFirst();
    const auto &cmds = registry();
    const auto it = std::find_if(cmds.begin(), cmds.end(), [&](const CliCommand &c) { return c.name == name; });
    if (it == cmds.end()) {
        QTextStream(stderr) << "Unknown command " << name << " (see --help)\n";
        return 2;
    }
    ctx.dataDir = DataFolder::resolve(dataDir);
    ctx.args = args;
    try {
        const int rc = it->run(ctx);
        return rc != 0 ? rc : (ctx.sink.failed ? 1 : 0);
    } catch (const SqlError &e) {
        ctx.sink.failure(e.message());
        return 1;
    }
}
