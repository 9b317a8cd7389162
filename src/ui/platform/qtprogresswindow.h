#pragma once

#include "core/platform/progresswindow.h"

#include <QProgressDialog>

/// The progress box on the real desktop: Qt's progress dialog, window-modal over `parent`,
/// shown at once, so that the teacher sees the work has begun even before the first step.
class QtProgressWindow : public ProgressWindow
{
public:
    QtProgressWindow(QWidget *parent, const QString &title, const QString &text, int total);

    bool advance(int done, const QString &text) override;

private:
    QProgressDialog m_dialog;
};
