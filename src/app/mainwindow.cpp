#include "app/mainwindow.h"

#include "document/appstate.h"
#include "document/commentfile.h"

#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>

MainWindow::MainWindow(AppState &state, Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(m_state.ProgramFolder + QStringLiteral("qhsy.png")));
    m_mdiArea = new QMdiArea(this);
    setCentralWidget(m_mdiArea);
    m_documentLabel = new QLabel(this);
    statusBar()->addWidget(m_documentLabel, 1);
    resize(1024, 720);
}

void MainWindow::load(const QString &commandLineText)
{
    m_state.CurrentPath.clear();
    ReadCommentFile(m_state, m_platform);
    m_state.Modified = false;
    if (!commandLineText.isEmpty())
        openDocument(commandLineText);
    showDocumentState();
}

void MainWindow::openDocument(const QString &path)
{
    m_state.CurrentStudent = -1;
    m_state.CurrentPath = path;
    if (ReadCommentFile(m_state, m_platform).isEmpty()) {
        m_state.HasFileName = true;
    } else {
        // A file that was not read is never the target of a later save: saving would replace
        // it with an empty roster.
        m_state.CurrentPath.clear();
        m_state.HasFileName = false;
    }
    m_state.Modified = false;
}

void MainWindow::showDocumentState()
{
    const QString name = m_state.CurrentPath.isEmpty()
        ? QStringLiteral("新文件")
        : QFileInfo(m_state.CurrentPath).fileName();
    m_documentLabel->setText(QStringLiteral("评语文件：%1　　学生：%2 名　　教师签名：%3")
                                 .arg(name)
                                 .arg(m_state.Document.studentCount())
                                 .arg(m_state.Document.TeacherSignature));
}
