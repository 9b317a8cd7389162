#pragma once

#include "core/app/startupsequence.h"
#include "core/document/session.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "ui/app/mainwindow.h"

#include <QObject>
#include <QTest>

#include <memory>

/// What the tests of the main window share: a temporary copy of the program folder, the
/// scripted platform, the process state and the window itself. A test object's init() and
/// cleanup() slots call setUpWorkspace() and tearDownWorkspace().
class MainWindowTest : public QObject
{
protected:
    void setUpWorkspace()
    {
        m_folder = std::make_unique<ProgramFolder>();
        m_platform = std::make_unique<ScriptedPlatform>();
        m_state = std::make_unique<Session>();
        m_state->reset(m_folder->path());
    }

    /// Closes the window without its save question and fails the test on any dialog that was
    /// not expected, or expected and never shown.
    void tearDownWorkspace()
    {
        if (m_window) {
            m_state->markSaved();
            m_window.reset();
        }
        QHSY_VERIFY_DIALOGS(*m_platform);
    }

    /// Shows the main window and loads as start-up does, with the file named on the command line.
    bool showWindow(const QString &commandLine)
    {
        m_window = std::make_unique<MainWindow>(*m_state, *m_platform);
        m_window->resize(1200, 900);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            return false;
        m_window->load(commandLine);
        return true;
    }

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    std::unique_ptr<MainWindow> m_window;
};
