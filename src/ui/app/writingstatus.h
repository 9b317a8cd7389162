#pragma once

#include <QStatusBar>

class QLabel;
class Session;

/// The main window's status bar: how many comments of the class are written ("已写 8/30") and
/// how long the current one is ("本条评语 123 字"). Both follow every keystroke.
class WritingStatus : public QStatusBar
{
    Q_OBJECT

public:
    WritingStatus(Session &session, QWidget *parent = nullptr);

    QLabel *written() const { return m_written; }
    QLabel *length() const { return m_length; }

private:
    void showWritten();
    void showLength();

    Session &m_session;
    QLabel *m_written = nullptr;
    QLabel *m_length = nullptr;
};
