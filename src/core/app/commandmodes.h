#pragma once

#include "core/app/commandmode.h"

#include <QList>

/// The command line's modes, one file each under modes/. A new mode is one file and one entry
/// in the list of CommandLine::modes.
namespace CommandModes {

const CommandMode &resave();
const CommandMode &exportText();
const CommandMode &printPdf();
const CommandMode &check();
const CommandMode &importNames();
const CommandMode &draft();
const CommandMode &addComments();
const CommandMode &mergeLibrary();
const CommandMode &help();
const CommandMode &version();

} // namespace CommandModes

namespace CommandLine {

/// Every mode, in the order the help lists them.
const QList<const CommandMode *> &modes();

/// The mode called by `name` (its name or an alias), or nullptr.
const CommandMode *modeNamed(const QString &name);

/// Whether `name` is a mode's name or one of any mode's options.
bool isKnownOption(const QString &name);

/// The text of --help, with every mode's usage and entry.
QString helpText();

} // namespace CommandLine
