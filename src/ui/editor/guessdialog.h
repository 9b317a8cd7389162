#pragma once

#include <QDialog>
#include <QList>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

/// A smart-guess dialog "智能推测": an introduction, a group of options each with its
/// explanation underneath, a footer and the buttons 执行 and 取消. No option is chosen when
/// it opens, and 执行 is disabled until one is; the arrow keys choose as they move, and a double
/// click on an option chooses it and runs 执行. Shown without blocking; it deletes itself when
/// closed.
class GuessDialog : public QDialog
{
    Q_OBJECT

public:
    /// One option and the explanation shown under it.
    struct Choice
    {
        QString option;
        QString explanation;
    };

    /// 执行: what the chosen option does.
    virtual void Command1Click() = 0;

    QGroupBox *Frame1() const { return m_frame; }
    QPushButton *Command1() const { return m_run; }
    QPushButton *Command2() const { return m_cancel; }

protected:
    /// Labels are named in order: Label1 the introduction, then one per explanation, then the
    /// footer; options Option1, Option2, ...
    GuessDialog(const QString &objectName, const QString &introduction, const QString &question,
                const QList<Choice> &choices, const QString &footer, QWidget *parent);

    /// Label i + 1 and Option i + 1 (counted from 0).
    QLabel *label(int i) const { return m_labels.value(i); }
    QRadioButton *option(int i) const { return m_options.value(i); }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLabel *> m_labels;
    QList<QRadioButton *> m_options;
    QGroupBox *m_frame = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
};
