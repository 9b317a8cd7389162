#pragma once

#include <QString>
#include <QStringList>

struct CommandMode;
struct ModeOutput;

/// The checks of the command line that refuse a run before anything is read: options that are
/// none of the action's, a seed past its range, an OUT that would replace what the run reads or
/// a class. Each gives the message to show, or "" when all is well.
namespace ArgumentCheck {

/// For arguments that name a file to open: a first argument that reads as an option ("--…"),
/// or a later one that is no option of the program at all.
QString unknownOption(const QStringList &arguments);

/// An option left among a mode's operands that is unknown or belongs to another mode (one of
/// the mode's own left there, as one without its value, is told by the mode).
QString strayOption(const QStringList &operands, const CommandMode &mode);

/// --seed's value when it is a number past 4294967295.
QString seedProblem(const QString &seed);

/// An OUT that is one of the run's inputs (also through a link); for a mode that writes no
/// comment file, an OUT that reads as one; for a PDF, an OUT not ending in .pdf (as when OUT was
/// left out and the last class stands in its place).
QString outputProblem(const ModeOutput &output);

} // namespace ArgumentCheck
