#pragma once

#include <QWidget>

class QToolButton;

/// An up-down pair of arrows beside a text box. It holds no value: each click is a command.
class SpinArrows : public QWidget
{
    Q_OBJECT

public:
    /// The two arrows, repeating while held and never taking the focus.
    explicit SpinArrows(QWidget *parent = nullptr);

    /// The upper arrow, "up".
    QToolButton *upButton() const { return m_up; }
    /// The lower arrow, "down".
    QToolButton *downButton() const { return m_down; }

signals:
    void up();
    void down();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
