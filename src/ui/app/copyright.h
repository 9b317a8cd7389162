#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QFrame;
class QTimer;
class Session;
class Platform;

/// The splash window. Shown first, it runs the start-up sequence and opens the main window;
/// shown again later it is the About window, which only closes again.
class copyright : public QDialog
{
    Q_OBJECT

public:
    /// openMain creates and shows the main window once the start-up checks have passed.
    copyright(Session &session, Platform &platform, QString programFolder, std::function<void()> openMain,
              QWidget *parent = nullptr);

    /// True once the start-up sequence has begun; it runs once per process.
    static bool StartupDone;

    QLabel *doing() const { return m_doing; }

signals:
    /// A required data file is missing: the program must end.
    void startupFailed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_GotFocus();

    Session &m_session;
    Platform &m_platform;
    QString m_programFolder;
    std::function<void()> m_openMain;
    QLabel *m_doing = nullptr;
    QTimer *m_timer = nullptr;
    int m_exposeRetries = 0;
};
