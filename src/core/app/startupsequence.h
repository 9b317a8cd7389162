#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Platform;
class Session;

/// What the splash window does before the main window opens: the session's initial values, the printer
/// check, the check for the three data files and the comment-file type's registration.
class StartupSequence
{
public:
    static inline const QString ConfiguringText = QStringLiteral("配置系统运行环境...");
    static inline const QString CheckingFilesText = QStringLiteral("检测必须的系统文件...");
    static inline const QString OpeningMainText = QStringLiteral("开始引导主界面...");
    static inline const QString SuccessText = QStringLiteral("成功！");

    /// The status line's text is passed to setStatus whenever it changes.
    StartupSequence(Session &session, Platform &platform, QString programFolder,
                    std::function<void(const QString &)> setStatus);

    /// Runs every step up to opening the main window. Returns false when a required data file
    /// is missing (the teacher has been told; the program must end). On success the status
    /// line reads the text that announces the main window.
    bool run();

private:
    void setStatus(const QString &text);
    void appendStatus(const QString &text);

    Session &m_session;
    Platform &m_platform;
    QString m_programFolder;
    std::function<void(const QString &)> m_setStatus;
    QString m_status;
};
