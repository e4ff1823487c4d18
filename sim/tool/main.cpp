// pennavox-clock-sim: the virtual club antenna with its clocks on a pseudo-terminal.

#include "device/bytelink.h"
#include "sim/clocksimulator.h"
#include "sim/simstate.h"
#include "pennavox/version.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int)
{
    stopRequested = 1;
}

const char *const usage =
    "Usage: pennavox-clock-sim [OPTIONS]\n"
    "\n"
    "Serves a virtual club antenna and its pigeon clocks on a pseudo-terminal. The first line\n"
    "of output is the terminal's path: give it to the program as its port\n"
    "(pennavox-cli --port PATH ...). One clock at a time is connected to the antenna; with\n"
    "none connected the antenna itself answers.\n"
    "\n"
    "Options:\n"
    "  --devices FILE    load the antenna and clocks from a JSON file (see docs/device.md);\n"
    "                    without it: antenna A0000001 (owner CLUB) and clock 1A2B3C4D (owner 001)\n"
    "  --state-out FILE  write the devices' state to FILE after every request and at exit\n"
    "  --connect N       connect clock N at start (1 = first clock, 0 = none; default: the\n"
    "                    devices file's \"connected\", else the first clock)\n"
    "  --fault SPEC      answer wrongly once (repeatable, applied in order; see Faults)\n"
    "  --pace            send at 9600 baud wire speed (about 1.04 ms per byte)\n"
    "  --baud N          send at N baud (0: as fast as possible, the default)\n"
    "  --link PATH       also make PATH a symbolic link to the terminal\n"
    "  --trace FILE      write a hex trace of every byte (\">\" from the program, \"<\" to it)\n"
    "  --verbose         one line per request on standard error\n"
    "  --version         the version\n"
    "  --help            this text\n"
    "\n"
    "Commands on standard input, one a line:\n"
    "  connect N         connect clock N (1 = first); the program must verify it anew\n"
    "  disconnect        no clock connected: the antenna answers\n"
    "  fault SPEC        as --fault (a stale fault puts its bytes on the line at once)\n"
    "  list              the devices, one a line\n"
    "  save [FILE]       write the state (to --state-out when FILE is omitted)\n"
    "  quit              stop\n"
    "\n"
    "Faults (SPEC):\n";

struct Options
{
    QString devices, stateOut, link, trace;
    int connect = 1;
    int baud = 0;
    bool verbose = false;
    QStringList faults;
};

bool parseArgs(const QStringList &args, Options *o, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        auto value = [&](QString *out) {
            if (i + 1 >= args.size()) {
                *error = a + QStringLiteral(" needs a value");
                return false;
            }
            *out = args.at(++i);
            return true;
        };
        QString v;
        bool ok = true;
        if (a == QLatin1String("--devices")) {
            if (!value(&o->devices))
                return false;
        } else if (a == QLatin1String("--state-out")) {
            if (!value(&o->stateOut))
                return false;
        } else if (a == QLatin1String("--link")) {
            if (!value(&o->link))
                return false;
        } else if (a == QLatin1String("--trace")) {
            if (!value(&o->trace))
                return false;
        } else if (a == QLatin1String("--fault")) {
            if (!value(&v))
                return false;
            o->faults << v;
        } else if (a == QLatin1String("--connect")) {
            if (!value(&v))
                return false;
            o->connect = v.toInt(&ok);
        } else if (a == QLatin1String("--baud")) {
            if (!value(&v))
                return false;
            o->baud = v.toInt(&ok);
            ok = ok && o->baud >= 0;
        } else if (a == QLatin1String("--pace")) {
            o->baud = 9600;
        } else if (a == QLatin1String("--verbose")) {
            o->verbose = true;
        } else {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        }
        if (!ok) {
            *error = QStringLiteral("%1: not a number: %2").arg(a, v);
            return false;
        }
    }
    return true;
}

double monotonicMs(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

class Server
{
public:
    Server(ClockSimulator &sim, const Options &o) : sim_(sim), opts_(o)
    {
        byteTime_ = o.baud > 0 ? 10000.0 / o.baud : 0.0;
        if (!o.trace.isEmpty())
            trace_ = std::make_unique<LinkTrace>(o.trace);
        clock_.start();
    }

    bool openTerminal(QString *path, QString *error)
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            *error =
                QStringLiteral("cannot open a pseudo-terminal: ") + QString::fromLocal8Bit(strerror(errno));
            return false;
        }
        const char *name = ptsname(master_);
        if (!name) {
            *error = QStringLiteral("no name for the pseudo-terminal");
            return false;
        }
        *path = QString::fromLocal8Bit(name);
        // Holding the terminal's other side open keeps the master readable between clients,
        // and raw mode keeps the line discipline from echoing or translating bytes.
        slave_ = ::open(name, O_RDWR | O_NOCTTY);
        if (slave_ >= 0) {
            termios t;
            if (tcgetattr(slave_, &t) == 0) {
                cfmakeraw(&t);
                cfsetispeed(&t, B9600);
                cfsetospeed(&t, B9600);
                tcsetattr(slave_, TCSANOW, &t);
            }
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        return true;
    }

    int run()
    {
        QTextStream err(stderr);
        QByteArray stdinBuffer;
        bool stdinOpen = true;
        while (!stopRequested) {
            sendDue();
            pollfd fds[2] = {{master_, POLLIN, 0}, {0, POLLIN, 0}};
            const int n = stdinOpen ? 2 : 1;
            int timeout = -1;
            if (!out_.empty())
                timeout = qMax(0, int(out_.begin()->first - monotonicMs(clock_)) + 1);
            if (!unsent_.isEmpty())
                timeout = 1;
            const int r = poll(fds, nfds_t(n), timeout);
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                err << "poll: " << strerror(errno) << "\n";
                return 1;
            }
            if (fds[0].revents & POLLIN)
                readTerminal();
            if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
                char buf[512];
                const ssize_t got = ::read(0, buf, sizeof buf);
                if (got <= 0) {
                    stdinOpen = false; // keep serving without commands
                } else {
                    stdinBuffer.append(buf, got);
                    qsizetype nl;
                    while ((nl = stdinBuffer.indexOf('\n')) >= 0) {
                        const QString line = QString::fromLocal8Bit(stdinBuffer.left(nl)).trimmed();
                        stdinBuffer.remove(0, nl + 1);
                        if (!command(line))
                            stopRequested = 1;
                    }
                }
            }
        }
        saveState();
        return 0;
    }

    void saveState(const QString &file = {})
    {
        const QString path = file.isEmpty() ? opts_.stateOut : file;
        if (path.isEmpty())
            return;
        QString error;
        if (!SimState::saveFile(sim_, path, &error))
            QTextStream(stderr) << "state: " << error << "\n";
    }

private:
    void readTerminal()
    {
        char buf[1024];
        while (true) {
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0)
                break;
            const QByteArray bytes(buf, int(got));
            if (trace_)
                trace_->record('>', bytes);
            const double now = monotonicMs(clock_);
            const int before = sim_.requestCount();
            const QList<SimChunk> chunks = sim_.feed(bytes, qint64(now));
            if (opts_.verbose && sim_.requestCount() != before)
                QTextStream(stderr) << "request " << LinkTrace::hex(sim_.lastRequestFrame()) << "\n"
                                    << "reply   " << LinkTrace::hex(sim_.lastReplyFrame()) << "\n";
            // The request's own bytes took their time on the wire before the device saw them.
            const double received = now;
            for (const SimChunk &c : chunks) {
                double t = qMax(received + c.atMs, lineFreeAt_);
                for (const char b : c.bytes) {
                    t += byteTime_;
                    out_[t] += b;
                }
                lineFreeAt_ = t;
            }
            if (sim_.requestCount() != before)
                saveState();
        }
    }

    void sendDue()
    {
        const double now = monotonicMs(clock_);
        while (!out_.empty() && out_.begin()->first <= now) {
            unsent_ += out_.begin()->second;
            out_.erase(out_.begin());
        }
        unsent_ += sim_.takeUnsolicited();
        while (!unsent_.isEmpty()) {
            const ssize_t w = ::write(master_, unsent_.constData(), size_t(unsent_.size()));
            if (w <= 0)
                break; // the terminal's buffer is full: try again on the next turn
            if (trace_)
                trace_->record('<', unsent_.left(w));
            unsent_.remove(0, w);
        }
    }

    bool command(const QString &line)
    {
        QTextStream out(stdout);
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            return true;
        const QString cmd = words.first().toLower();
        if (cmd == QLatin1String("connect") && words.size() == 2) {
            bool ok = false;
            const int n = words.at(1).toInt(&ok);
            if (!ok || !sim_.connectClock(n - 1)) {
                out << "error: no clock " << words.at(1) << "\n";
            } else {
                out << "connected " << describe(n - 1) << "\n";
            }
        } else if (cmd == QLatin1String("disconnect")) {
            sim_.disconnectClock();
            out << "connected " << describe(-1) << "\n";
        } else if (cmd == QLatin1String("fault") && words.size() >= 2) {
            QString error;
            if (sim_.injectFault(line.section(QLatin1Char(' '), 1).trimmed(), &error))
                out << "fault queued\n";
            else
                out << "error: " << error << "\n";
        } else if (cmd == QLatin1String("list")) {
            out << "antenna " << describe(-1) << "\n";
            for (int i = 0; i < sim_.clockCount(); ++i)
                out << "clock " << (i + 1) << " " << describe(i)
                    << (i == sim_.connectedClock() ? " (connected)" : "") << "\n";
        } else if (cmd == QLatin1String("save")) {
            if (words.size() < 2 && opts_.stateOut.isEmpty()) {
                out << "error: no file (give one or start with --state-out)\n";
            } else {
                saveState(words.size() >= 2 ? words.at(1) : QString());
                out << "saved\n";
            }
        } else if (cmd == QLatin1String("quit") || cmd == QLatin1String("exit")) {
            return false;
        } else {
            out << "error: unknown command \"" << line
                << "\" (connect N, disconnect, fault SPEC, list, save, quit)\n";
        }
        out.flush();
        return true;
    }

    QString describe(int i)
    {
        SimDevice &d = i < 0 ? sim_.antenna() : sim_.clock(i);
        return QStringLiteral("%1 %2").arg(i < 0 ? QStringLiteral("antenna") : QString::number(i + 1),
                                           d.deviceNo) +
               QStringLiteral(" owner=") + d.owner;
    }

    ClockSimulator &sim_;
    Options opts_;
    double byteTime_ = 0;
    double lineFreeAt_ = 0;
    int master_ = -1, slave_ = -1;
    QElapsedTimer clock_;
    std::map<double, QByteArray> out_; // due time -> bytes
    QByteArray unsent_;
    std::unique_ptr<LinkTrace> trace_;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << usage << SimFault::help();
        return 0;
    }
    if (args.contains(QLatin1String("--version"))) {
        out << "pennavox-clock-sim " << PENNAVOX_VERSION << "\n";
        return 0;
    }
    Options opts;
    QString error;
    if (!parseArgs(args, &opts, &error)) {
        err << "pennavox-clock-sim: " << error << " (see --help)\n";
        return 2;
    }
    ClockSimulator sim;
    if (!opts.devices.isEmpty()) {
        if (!SimState::loadFile(sim, opts.devices, &error)) {
            err << "pennavox-clock-sim: " << error << "\n";
            return 2;
        }
    } else {
        sim.connectClock(sim.addClock(QStringLiteral("1A2B3C4D"), QStringLiteral("001")));
    }
    if (!args.contains(QLatin1String("--connect")))
        opts.connect = sim.connectedClock() + 1; // the file's choice, or the default clock
    if (!sim.connectClock(opts.connect - 1)) {
        err << "pennavox-clock-sim: no clock " << opts.connect << "\n";
        return 2;
    }
    for (const QString &f : opts.faults) {
        if (!sim.injectFault(f, &error)) {
            err << "pennavox-clock-sim: " << error << "\n";
            return 2;
        }
    }

    Server server(sim, opts);
    QString path;
    if (!server.openTerminal(&path, &error)) {
        err << "pennavox-clock-sim: " << error << "\n";
        return 1;
    }
    if (!opts.link.isEmpty()) {
        QFile::remove(opts.link);
        if (!QFile::link(path, opts.link))
            err << "pennavox-clock-sim: cannot link " << opts.link << "\n";
    }
    out << path << "\n";
    out.flush();

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    const int rc = server.run();
    if (!opts.link.isEmpty())
        QFile::remove(opts.link);
    return rc;
}
