#pragma once

#include "store/operationsink.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TdmORVS;

// Prints operation messages one a line ("working: …", "failure: …", "success: …").
class TerminalSink : public OperationSink
{
public:
    void message(const QString &text, MessageKind kind) override;
    Answer ask(const QString &question, bool withCancel) override;
    void progress(int done, int total, const QString &what) override;

    Answer answer = Answer::No; // the answer to every question (set by command options)
    bool failed = false;        // a failure was reported
};

struct CliContext
{
    QString dataDir; // resolved data folder
    QString port;    // --port, or empty
    QString trace;   // --trace FILE, or empty
    QStringList args; // the command's own arguments
    TerminalSink sink;

    TdmORVS &dm(); // opened on first use
    ~CliContext();
    CliContext() = default;
    CliContext(const CliContext &) = delete;
    CliContext &operator=(const CliContext &) = delete;

    // Takes "--name VALUE" out of args; returns false when absent.
    bool takeOption(const QString &name, QString *value);
    // Takes a flag "--name" out of args.
    bool takeFlag(const QString &name);

private:
    std::unique_ptr<TdmORVS> dm_;
};

struct CliCommand
{
    QString name;
    QString usage;   // "loft-download LOFTNO [--init]"
    QString summary; // one line for --help
    std::function<int(CliContext &)> run; // exit code
    bool needsGui = false; // lays out text (fonts): runs under a GUI application, offscreen
};

// Each cli/cmd_*.cpp registers its commands with a static CliRegistrar.
struct CliRegistrar
{
    explicit CliRegistrar(CliCommand c);
};

const std::vector<CliCommand> &cliCommands();

class RecordTable;
class QTextStream;
// Prints a list as comma-separated lines: a line of column titles, then each row's display texts
// (trimmed) or, with `raw`, a line of field names and each row's stored values. A text holding a
// comma or a quote is quoted.
void printList(QTextStream &out, const RecordTable &list, bool raw = false);
