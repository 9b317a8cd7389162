#pragma once

#include "core/printing/schemeediting.h"

#include <QGroupBox>
#include <QList>

#include <utility>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SpinArrows;
class Session;
struct LayoutScheme;
struct PrintedItem;
class Platform;

/// The page-setup group of the print window, "页面设置": the paper size and line spacing of the
/// active scheme, the lengths of the item selected on the sample page, its font and text, a
/// check box per item the scheme may print or not, and the buttons that keep the scheme (新方案, 保存修改)
/// and leave (退出), which the window answers. Enter and the arrows store a box's text at once into the
/// scheme (SchemeEditing), the font button into the document's item fonts; changed() then asks for the page
/// again.
class PageSetupPanel : public QGroupBox
{
    Q_OBJECT

public:
    /// The group, "jpapersetup", editing `scheme`, which outlives it.
    PageSetupPanel(Session &session, Platform &platform, LayoutScheme &scheme, QWidget *parent);

    /// Shows the scheme's paper size and line spacing in their boxes (after a scheme is picked).
    void showScheme();
    /// Empties the paper size and line spacing boxes: there is no scheme to show.
    void clearScheme();

    /// The item the item boxes edit.
    SelectedObject selectedObject() const { return m_selected; }
    /// Selects an item: the label names it; for an item the boxes show its values and those
    /// that apply to it are enabled. None leaves the boxes as they are.
    void selectObject(SelectedObject object);

    /// The paper height box.
    QLineEdit *pheight() const { return m_pheight; }
    /// The paper width box.
    QLineEdit *pwidth() const { return m_pwidth; }
    /// The line spacing box.
    QLineEdit *pjuli() const { return m_pjuli; }
    /// The arrows of the paper height box.
    SpinArrows *UpDown1() const { return m_upDown1; }
    /// The arrows of the paper width box.
    SpinArrows *UpDown2() const { return m_upDown2; }
    /// The arrows of the line spacing box.
    SpinArrows *UpDown4() const { return m_upDown4; }
    /// The selected item's height box (the comment's only, never stored).
    QLineEdit *theight() const { return m_theight; }
    /// The selected item's width box (the comment's only).
    QLineEdit *twidth() const { return m_twidth; }
    /// The selected item's top box.
    QLineEdit *ttop() const { return m_ttop; }
    /// The selected item's left box.
    QLineEdit *tleft() const { return m_tleft; }
    /// The arrows of the height box.
    SpinArrows *twt() const { return m_twt; }
    /// The arrows of the width box.
    SpinArrows *tht() const { return m_tht; }
    /// The arrows of the top box.
    SpinArrows *ttt() const { return m_ttt; }
    /// The arrows of the left box.
    SpinArrows *tlt() const { return m_tlt; }
    /// 字体属性...: the selected item's font.
    QPushButton *tfont() const { return m_tfont; }
    /// The selected item's text box (the heading's and the date's).
    QLineEdit *ttext() const { return m_ttext; }
    /// The check box that says whether the scheme prints an optional item; nullptr for others.
    QCheckBox *printedBox(SelectedObject object) const;
    /// The label naming the selected item.
    QLabel *selected() const { return m_selectedLabel; }
    /// 新方案...
    QPushButton *Command1() const { return m_command1; }
    /// 保存修改
    QPushButton *Command2() const { return m_command2; }
    /// 退出
    QPushButton *Command3() const { return m_command3; }

signals:
    /// The scheme or an item font changed: the page has to be composed again.
    void changed();

private:
    void buildControls();
    void fillItemBoxes();
    SchemeEditing::Box boxOf(const QLineEdit *box) const;
    void applyBox(QLineEdit *box);
    void spin(QLineEdit *box, bool up);
    void twtDown();
    void chooseItemFont();
    void applyText();

    Session &m_session;
    Platform &m_platform;
    LayoutScheme &m_scheme;
    SelectedObject m_selected = SelectedObject::None;

    QLineEdit *m_pheight = nullptr;
    QLineEdit *m_pwidth = nullptr;
    QLineEdit *m_pjuli = nullptr;
    SpinArrows *m_upDown1 = nullptr;
    SpinArrows *m_upDown2 = nullptr;
    SpinArrows *m_upDown4 = nullptr;
    QLineEdit *m_theight = nullptr;
    QLineEdit *m_twidth = nullptr;
    QLineEdit *m_ttop = nullptr;
    QLineEdit *m_tleft = nullptr;
    SpinArrows *m_twt = nullptr;
    SpinArrows *m_tht = nullptr;
    SpinArrows *m_ttt = nullptr;
    SpinArrows *m_tlt = nullptr;
    QPushButton *m_tfont = nullptr;
    QLineEdit *m_ttext = nullptr;
    QList<std::pair<const PrintedItem *, QCheckBox *>> m_checks;
    QLabel *m_selectedLabel = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
};
