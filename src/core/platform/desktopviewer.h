#pragma once

#include <QString>

/// Whether the desktop can show a file of a given type in a program of its own. Starting
/// `xdg-open` succeeds even where no program for the type is installed, and the failure then
/// happens in the background where nobody sees it; this answers before anything is started.
namespace DesktopViewer {

/// True when `xdg-open` is on the PATH and a program is registered for the MIME type, or, for
/// web pages, the system's web browser exists.
bool canOpen(const QString &mimeType);

} // namespace DesktopViewer
