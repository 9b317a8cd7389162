#pragma once

#include "core/platform/result.h"

#include <QString>

#include <functional>

/// LibreOffice as a converter between document formats.
namespace LibreOffice {

/// The program, looked up on PATH.
inline const QString Program = QStringLiteral("soffice");

/// How long a conversion may run; LibreOffice may take a while to start the first time, and
/// one that runs longer has hung.
constexpr int TimeoutSeconds = 120;

/// The largest file handed to LibreOffice: no class list or comment document comes near it.
constexpr qint64 MaxSourceSize = 64 * 1024 * 1024;

/// Asked about every 100 ms while a conversion runs (where a window can keep its progress
/// dialog alive); false ends the conversion.
using KeepWaiting = std::function<bool()>;

/// The message for a conversion that ran past its time.
QString timeoutMessage(int seconds);

/// What a conversion runs and how long it waits.
struct Run
{
    QString program;                     ///< the converter; empty: Program, looked up on PATH
    int timeoutSeconds = TimeoutSeconds; ///< how long it may run
    KeepWaiting keepWaiting;             ///< empty: the one of the current WaitingScope, if any
};

/// Converts `source` to `format` (a file extension: "docx", "xlsx") with LibreOffice, headless,
/// with a profile of its own in `folder` (so that a running LibreOffice of the teacher's is
/// neither used nor disturbed), writing the result into `folder`. Returns the converted file.
/// LibreOffice runs in a process group of its own, which is ended as a whole when the
/// conversion is over, runs out of time, is cancelled or the program is interrupted (see
/// InterruptScope), so that none of its processes is left behind. Fails as
/// FailureKind::NotFound without LibreOffice, as FailureKind::Stopped when it ran out of time,
/// was cancelled or interrupted; otherwise with LibreOffice's own words.
Result<QString> convert(const QString &source, const QString &format, const QString &folder,
                        const Run &run = {});

/// Copies `path` to `target` to be converted, refusing a file larger than MaxSourceSize (a
/// sparse file would be copied as all its zeros).
Result<void> copySource(const QString &path, const QString &target);

/// While it exists, conversions on this thread that name no KeepWaiting of their own ask
/// `keepWaiting`: a window lets a conversion deep inside a reader be shown and cancelled.
class WaitingScope
{
public:
    explicit WaitingScope(KeepWaiting keepWaiting);
    ~WaitingScope();
    WaitingScope(const WaitingScope &) = delete;
    WaitingScope &operator=(const WaitingScope &) = delete;

private:
    KeepWaiting m_previous;
};

/// While the outermost scope exists, SIGINT, SIGTERM and SIGHUP (Ctrl+C, a kill, a closed
/// terminal) do not end the program at once: the signal handler only kills a running
/// converter's process group and notes the signal, the conversion fails as Stopped, and the
/// code between unwinds (removing its temporary folders, which hold a copy of the teacher's
/// file). The outermost scope's end then restores the handlers there were and raises the
/// signal again, so the program ends by it as it would have. A caller that keeps a temporary
/// folder declares a scope before the folder; convert holds one of its own.
class InterruptScope
{
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope &) = delete;
    InterruptScope &operator=(const InterruptScope &) = delete;
    /// Whether a signal came while a scope was open.
    static bool interrupted();
};

} // namespace LibreOffice
