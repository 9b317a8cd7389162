#pragma once

#include "ui/editor/guessdialog.h"

#include <functional>

class Platform;

/// The smart-guess dialog shown when the teacher presses the mouse in a signature: offers to
/// change the signature or its font.
class tuice_teacher : public GuessDialog
{
    Q_OBJECT

public:
    struct Actions
    {
        std::function<void()> changeSignature; ///< opens the signature dialog
        std::function<void()> changeFont;      ///< the signature font chooser and refresh
    };

    tuice_teacher(Platform &platform, Actions actions, QWidget *parent = nullptr);

    QLabel *Label1() const { return label(0); }
    QLabel *Label2() const { return label(1); }
    QLabel *Label3() const { return label(2); }
    QLabel *Label4() const { return label(3); }
    QRadioButton *Option1() const { return option(0); }
    QRadioButton *Option2() const { return option(1); }

    void Command1Click() override; ///< 执行

private:
    Platform &m_platform;
    Actions m_actions;
};
