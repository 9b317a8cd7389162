#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace CommandLine {
struct Request;
}

/// One option of a command-line mode: a switch ("--replace") or an option with a value
/// ("--seed 7").
struct ModeOption
{
    QString name;
    bool takesValue = false;
    /// For an option with a value: the value's own problem (a number past its range), told
    /// before anything else about the arguments; nullptr when the mode checks the value.
    QString (*valueProblem)(const QString &value) = nullptr;
};

/// The file a mode writes and what it reads, for the check that refuses an OUT which would
/// replace what the run reads.
struct ModeOutput
{
    QString out;
    QStringList inputs;
    bool writesComments = true; ///< false: an OUT that reads as a comment file is refused
    bool pdf = false;           ///< OUT must end in .pdf, and "-" is no standard output for it
};

/// One mode of the command line, `qhsy --name OPERANDS [options]`. The arguments are taken
/// apart, the usage shown by --help written and options that are none of the mode's refused
/// from these descriptions alone (CommandLine::modes lists them).
struct CommandMode
{
    QString name = {};              ///< "--resave"
    QStringList aliases = {};       ///< other names for it ("-h")
    QList<ModeOption> options = {}; ///< taken out of the arguments in this order
    bool readsArguments = true;     ///< false: the arguments after the name are not looked at
    bool needsFonts = false;        ///< runs under a QGuiApplication
    QStringList usage = {};         ///< the mode's lines of the usage, after "qhsy "
    QString help = {};              ///< the mode's entry in the help's list, one or more whole lines
    /// Why the operands and option values cannot run, or "".
    QString (*problem)(const CommandLine::Request &) = nullptr;
    /// The file the run writes; nullptr or nullopt when it writes none that needs the check.
    std::optional<ModeOutput> (*output)(const CommandLine::Request &) = nullptr;
    /// Runs a request whose arguments are right; returns the exit code.
    int (*run)(const CommandLine::Request &, QTextStream &out, QTextStream &err) = nullptr;

    /// The option of this mode with that name, or nullptr.
    const ModeOption *option(const QString &optionName) const;
};
