#pragma once

#include <QString>
#include <QStringList>

/// What a run of the built program gave.
struct ProgramRun
{
    int exitCode = -1; ///< -1 when it crashed or did not end in time
    QString out;
    QString err;
};

/// Runs the built program with no display and no printer (CUPS_SERVER points nowhere), as the
/// headless options must work. A run still going after timeoutMs is killed and gives -1.
ProgramRun runBuiltProgram(const QStringList &arguments, int timeoutMs = 60000);

/// The same for the executable at program, with environment's "NAME=value" entries added.
ProgramRun runProgramAt(const QString &program, const QStringList &arguments,
                        const QStringList &environment, int timeoutMs = 60000);
