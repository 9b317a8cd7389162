#pragma once

#include <QString>

/// Where a save or export dialog starts: the class's own name with the command's suffix, in the
/// class file's folder, never in a folder of the kernel's (/proc, /sys, /dev).
namespace SaveLocation {

/// The path a save dialog proposes for a class file (empty for a class not saved yet): the
/// file's folder and base name with `suffix` ("pdf", "docx", "txt", "py"); empty when there is
/// no class file.
QString proposedPath(const QString &classPath, const QString &suffix);

/// The folder a dialog may start in: `folder` as an absolute clean path, or the home folder
/// when it is under /proc, /sys or /dev.
QString startFolder(const QString &folder);

} // namespace SaveLocation
