#include "ui/printing/previewpanel.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/messages.h"
#include "ui/platform/accessiblenames.h"
#include "ui/printing/panelparts.h"
#include "ui/printing/sheetchoice.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// Design geometry in twips, relative to the group.
using Twips::Box;

constexpr Box StudentBox{240, 420, 2280, 330};
constexpr Box NavigationBoxes[4] = {
    {2700, 390, 600, 390}, {3360, 390, 600, 390}, {4020, 390, 600, 390}, {4680, 390, 600, 390}};
constexpr Box PrintCurrentBox{5400, 390, 1080, 390};
constexpr Box PreviewExitBox{6600, 390, 1080, 390};
constexpr Box SheetChoiceBox{240, 900, 4500, 330};

/// The student box lists at most this many names.
constexpr int MaxNamedStudents = 100;

} // namespace

PreviewPanel::PreviewPanel(Session &session, Platform &platform, QWidget *parent)
    : QGroupBox(QStringLiteral("打印预览"), parent)
    , m_session(session)
    , m_platform(platform)
{
    using namespace PanelParts;
    setObjectName(QStringLiteral("jprivew"));
    m_combo3 = combo(QStringLiteral("Combo3"), this);
    place(m_combo3, StudentBox);
    AccessibleNames::name(m_combo3, QStringLiteral("学生"));
    const QString arrowsText[4] = {QStringLiteral("|←"), QStringLiteral("←"), QStringLiteral("→"),
                                   QStringLiteral("→|")};
    for (int i = 0; i < 4; ++i)
        m_commands[i] = command(4 + i, arrowsText[i], this, NavigationBoxes[i]);
    m_command11 = command(11, QStringLiteral("打印当前"), this, PrintCurrentBox);
    m_command12 = command(12, QStringLiteral("退出"), this, PreviewExitBox);
    m_sheets = new SheetChoice(this);
    m_sheets->setObjectName(QStringLiteral("previewSheets"));
    place(m_sheets, SheetChoiceBox);

    // The box reacts to a pick from its list and to typing, not to text set by the panel.
    connect(m_combo3, &QComboBox::textActivated, this, &PreviewPanel::Combo3Change);
    connect(m_combo3->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_typingStudent = true;
        Combo3Change();
        m_typingStudent = false;
    });
    connect(Command4(), &QPushButton::clicked, this, [this] { moveToStudent(0); });
    connect(Command5(), &QPushButton::clicked, this, &PreviewPanel::previousStudent);
    connect(Command6(), &QPushButton::clicked, this, &PreviewPanel::nextStudent);
    connect(Command7(), &QPushButton::clicked, this, [this] { moveToStudent(lastStudent()); });
}

void PreviewPanel::fillStudents()
{
    const QString shown = m_combo3->currentText();
    m_combo3->clear();
    for (int slot = 1; slot <= MaxNamedStudents; ++slot) {
        const QString &name = m_session.Document().slot(slot).name;
        if (name.isEmpty())
            break;
        m_combo3->addItem(name);
    }
    m_combo3->setEditText(shown);
}

QString PreviewPanel::currentStudentName() const
{
    const int slot = m_session.CurrentStudent() + 1;
    return slot >= 1 && slot <= CommentDocument::MaxStudents ? m_session.Document().slot(slot).name
                                                             : QString();
}

void PreviewPanel::showCurrentStudent()
{
    if (!m_typingStudent)
        m_combo3->setEditText(currentStudentName());
}

void PreviewPanel::setPrinting(bool printing)
{
    for (QWidget *widget : std::initializer_list<QWidget *>{m_combo3, Command4(), Command5(), Command6(),
                                                            Command7(), Command11()})
        widget->setEnabled(!printing);
}

int PreviewPanel::lastStudent() const
{
    return std::max(m_session.Document().studentCount() - 1, 0);
}

void PreviewPanel::moveToStudent(int student)
{
    m_session.setCurrentStudent(student);
}

void PreviewPanel::previousStudent()
{
    if (m_session.CurrentStudent() < 1) {
        m_platform.messageBox(PrintMessages::FirstPageMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    moveToStudent(m_session.CurrentStudent() - 1);
}

void PreviewPanel::nextStudent()
{
    if (m_session.CurrentStudent() >= lastStudent()) {
        m_platform.messageBox(PrintMessages::LastPageMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    moveToStudent(m_session.CurrentStudent() + 1);
}

void PreviewPanel::Combo3Change()
{
    const QString name = m_combo3->currentText().trimmed();
    for (int slot = 1; slot <= CommentDocument::MaxStudents; ++slot) {
        const QString &slotName = m_session.Document().slot(slot).name;
        if (slotName == name || slotName.isEmpty()) {
            m_session.setCurrentStudent(slot - 1);
            break;
        }
    }
    // With all slots named and none matching, the current student stays and the box shows
    // its name again; a change of student composes the page, which shows it too.
    showCurrentStudent();
}
