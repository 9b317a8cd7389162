#pragma once

#include "ui/editor/guessdialog.h"

#include <functional>

/// The smart-guess dialog shown when the current file has no students: offers to import
/// names, start a new file or open a file.
class nostudent : public GuessDialog
{
    Q_OBJECT

public:
    /// What the three options start. openDocument returns false when the teacher cancelled
    /// the open dialog: this dialog then stays open.
    struct Actions
    {
        std::function<void()> importNames;
        std::function<void()> newDocument;
        std::function<bool()> openDocument;
    };

    explicit nostudent(Actions actions, QWidget *parent = nullptr);

    QLabel *Label1() const { return label(0); }
    QLabel *Label2() const { return label(1); }
    QLabel *Label3() const { return label(2); }
    QLabel *Label4() const { return label(3); }
    QLabel *Label5() const { return label(4); }
    QRadioButton *Option1() const { return option(0); }
    QRadioButton *Option2() const { return option(1); }
    QRadioButton *Option3() const { return option(2); }

    void Command1Click() override; ///< 执行

private:
    Actions m_actions;
};
