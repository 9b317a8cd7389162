#include "ui/platform/qtprogresswindow.h"

#include <QCoreApplication>

QtProgressWindow::QtProgressWindow(QWidget *parent, const QString &title, const QString &text, int total)
    : m_dialog(text, QStringLiteral("停止"), 0, total, parent)
{
    m_dialog.setObjectName(QStringLiteral("progress"));
    m_dialog.setWindowTitle(title);
    m_dialog.setWindowModality(Qt::WindowModal);
    // The box stays until its owner is done: the report comes after it has gone.
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setMinimumDuration(0);
    m_dialog.show();
    // The first step may be long in coming (a class PDF is drawn first): paint the box now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtProgressWindow::advance(int done, const QString &text)
{
    m_dialog.setLabelText(text);
    m_dialog.setValue(done);
    // A window-modal box takes its clicks (停止) only while events are handled.
    QCoreApplication::processEvents();
    return m_dialog.wasCanceled();
}
