#pragma once

#include <QString>

/// A progress box the program shows while it works (see Platform::openProgress): a bar, a line
/// of text and a 停止 button. It closes when the object goes.
class ProgressWindow
{
public:
    virtual ~ProgressWindow() = default;

    /// Moves the bar to `done` of the total and shows `text`; true once the teacher pressed 停止.
    virtual bool advance(int done, const QString &text) = 0;
};
