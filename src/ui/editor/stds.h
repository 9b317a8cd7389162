#pragma once

#include <QWidget>

class QListWidget;
class Session;
class Platform;

/// The student list window: the roster's names, each marked as written or still empty; a click
/// moves the editor to that student.
class stds : public QWidget
{
    Q_OBJECT

public:
    stds(Session &session, Platform &platform, QWidget *parent = nullptr);

    QListWidget *stdlist() const { return m_list; }

    /// Fills the list from the roster and selects the first entry.
    void fill();

    /// Selects entry k; a change of the selection moves the editor as a click does.
    void select(int k);
    /// Whether entry k is marked as still without a comment.
    bool markedEmpty(int k) const;

signals:
    /// Entry k was chosen (click, double-click, or a selection change from code).
    void stdlistClick(int k);
    /// The right button on a selected entry: pop up the student menu here.
    void studentMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    /// Marks entry k (slot k + 1) as written or still empty: its look and a tip, never
    /// its text, which the commands match by name.
    void mark(int k);

    Session &m_session;
    Platform &m_platform;
    QListWidget *m_list = nullptr;
};
