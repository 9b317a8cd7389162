#include "ui/library/librarycommands.h"

#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/library/librarylocation.h"
#include "core/library/messages.h"
#include "core/platform/platform.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/workspace.h"
#include "ui/library/piliangdaoru.h"
#include "ui/library/pytools.h"
#include "ui/platform/present.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>

LibraryCommands::LibraryCommands(Session &session, Platform &platform, Workspace &workspace, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_platform(platform)
    , m_workspace(workspace)
{}

piliangdaoru *LibraryCommands::batchImportDialog() const
{
    return m_batchImport;
}

void LibraryCommands::addlb()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        window->openPanel(PanelMode::AddCategory, QString());
}

void LibraryCommands::editlb()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        editCategory(window);
}

void LibraryCommands::dellb()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        deleteCategory(window);
}

void LibraryCommands::addpy()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        window->openPanel(PanelMode::AddComment, QString());
}

void LibraryCommands::editpy()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        editComment(window);
}

void LibraryCommands::delpy()
{
    if (pytools *window = m_workspace.openLibraryWindow())
        deleteComment(window);
}

void LibraryCommands::setop()
{
    pytools *window = m_workspace.openLibraryWindow();
    if (!window)
        return;
    // The text selected in the current student's comment; none without a current student.
    QString text;
    pyedit *editor = m_workspace.editor();
    if (editor && m_session.CurrentStudent() >= 0) {
        if (QPlainTextEdit *box = editor->pytext1(m_session.CurrentStudent())) {
            text = box->textCursor().selection().toPlainText();
            text.remove(u'\n'); // a stock comment is one line
        }
    }
    window->openPanel(PanelMode::AddComment, text);
}

void LibraryCommands::pldr()
{
    if (!m_batchImport || !m_batchImport->isVisible()) {
        m_batchImport = new piliangdaoru(
            m_session, m_platform, [this] { return m_workspace.openLibraryWindow(); },
            qobject_cast<QWidget *>(parent()));
    }
    present(m_batchImport);
}

void LibraryCommands::chooseLocation()
{
    pytools *window = m_workspace.openLibraryWindow();
    if (!window)
        return;
    LibraryLocation location = window->location();
    const QString text = QStringLiteral("现在使用的评语库：%1\n（%2）\n\n年级组的老师可以共用放在学校共享文件夹里的同一个"
                                        "评语库，几位老师同时修改也不会丢失内容。")
                             .arg(location.name(), QDir::toNativeSeparators(location.path()));
    const int answer = m_platform.choose(text, QStringLiteral("评语库位置"),
                                         {QStringLiteral("选择评语库文件..."), QStringLiteral("用我自己的评语库"),
                                          QStringLiteral("取消")});
    if (answer == 1) {
        location.choose(QString());
    } else if (answer == 0) {
        const QString path = m_platform.openFileName(QStringLiteral("评语库文件|*.vxd|所有文件|*.*"));
        if (path.isEmpty())
            return;
        location.choose(path);
    } else {
        return;
    }
    window->load();
}

void LibraryCommands::mergeLibrary()
{
    pytools *window = m_workspace.openLibraryWindow();
    if (!window)
        return;
    const QString other = m_platform.openFileName(QStringLiteral("评语库文件|*.vxd|所有文件|*.*"));
    if (other.isEmpty())
        return;
    const Result<qsizetype> added = window->library().merge(CommentLibrary(other));
    if (!added) {
        // The other file unreadable is no damage of this library: its reason is told as it is.
        if (added.kind() == FailureKind::Unreadable && added.error().contains(other))
            m_platform.messageBox(added.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        else
            pytools::tellFailure(m_platform, added.failure());
        return;
    }
    window->reloadIfChanged();
    const QString text = *added == 0 ? QStringLiteral("“%1”中的评语这里都有了，没有添加。").arg(QFileInfo(other).fileName())
                                     : QStringLiteral("已从“%1”添加 %2 条评语。").arg(QFileInfo(other).fileName()).arg(*added);
    m_platform.messageBox(text, Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
}

void LibraryCommands::kpxiugai()
{
    pytools *window = m_workspace.library();
    if (!window)
        return;
    if (window->popupTarget() == PopupTarget::CategoryList)
        editCategory(window);
    else
        editComment(window);
}

void LibraryCommands::kpshanchu()
{
    pytools *window = m_workspace.library();
    if (!window)
        return;
    if (window->popupTarget() == PopupTarget::CategoryList)
        deleteCategory(window);
    else
        deleteComment(window);
}

void LibraryCommands::kptianjia()
{
    pytools *window = m_workspace.library();
    if (!window)
        return;
    window->openPanel(window->popupTarget() == PopupTarget::CategoryList ? PanelMode::AddCategory
                                                                         : PanelMode::AddComment,
                      QString());
}

void LibraryCommands::editCategory(pytools *window)
{
    if (window->selectedCategoryIndex() < 0) {
        m_platform.messageBox(LibraryMessages::SelectCategoryMessage, Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    window->openPanel(PanelMode::EditCategory, window->selectedCategory());
}

void LibraryCommands::editComment(pytools *window)
{
    if (window->selectedCommentIndex() < 0) {
        m_platform.messageBox(LibraryMessages::SelectCommentToEditMessage, Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    window->openPanel(PanelMode::EditComment, window->selectedComment());
}

void LibraryCommands::deleteCategory(pytools *window)
{
    const int i = window->selectedCategoryIndex();
    if (i < 0) {
        m_platform.messageBox(LibraryMessages::SelectCategoryMessage, Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    const QString name = CommentLibrary::trimBlanks(window->selectedCategory());
    const QString question = QStringLiteral("确实要删除类别：“%1”吗？这将删除该类别的所有评语！").arg(name);
    if (m_platform.messageBox(question, Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    if (!pytools::reportFailure(m_platform, window->library().deleteCategory(name)))
        return;
    // The window opens afresh: 优秀 is on again; the neighbour takes the deleted place.
    window->setRating(Rating::Excellent);
    window->load();
    const int n = window->lblb()->count();
    if (i > 0 && i < n)
        window->lblb()->setCurrentRow(i);
    else if (i > 0 && i == n)
        window->lblb()->setCurrentRow(i - 1);
}

void LibraryCommands::deleteComment(pytools *window)
{
    const int j = window->selectedCommentIndex();
    if (j < 0) {
        m_platform.messageBox(LibraryMessages::SelectCommentToDeleteMessage, Platform::NoticeTitle,
                              MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const QString comment = window->selectedComment();
    const QString question = QStringLiteral("确实要删除评语：“%1”吗？").arg(comment);
    if (m_platform.messageBox(question, Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    const Result<CommentLibrary::Written> deleted = window->library().deleteComment(selectedEntry(window));
    if (!deleted) {
        pytools::tellFailure(m_platform, deleted.failure());
        // Another teacher's change is shown at once, so the teacher sees what is there now.
        if (deleted.kind() == FailureKind::NotFound)
            window->reloadIfChanged();
        return;
    }
    // The entry goes at once; the window is not reloaded and nothing stays selected.
    delete window->lbnr()->takeItem(j);
    window->lbnr()->setCurrentRow(-1);
}

void LibraryCommands::save(pytools *window)
{
    const QString text = window->Text1()->text();
    if (text.isEmpty()) {
        m_platform.messageBox(LibraryMessages::EmptyTextMessage, Platform::NoticeTitle, MsgIcon::Information,
                              MsgButtons::Ok);
        return;
    }
    CommentLibrary library = window->library();
    const QString category = window->selectedCategory();
    int i = window->selectedCategoryIndex();
    int j = window->selectedCommentIndex();
    Result<CommentLibrary::Written> status = CommentLibrary::Written{};
    switch (window->panelMode()) {
    case PanelMode::AddCategory:
        status = library.addCategory(text);
        i = window->lblb()->count(); // the new category comes last
        j = 0;
        break;
    case PanelMode::EditCategory:
        status = library.renameCategory(category, text);
        break;
    case PanelMode::AddComment:
        status = library.addComments(CommentLibrary::trimBlanks(category), window->rating(), {text});
        break;
    case PanelMode::EditComment:
        // A vanished comment keeps the panel open with the typed text; the window reloads
        // once the panel is closed.
        status = library.replaceComment(selectedEntry(window), text);
        break;
    case PanelMode::None:
        return;
    }
    // On failure the panel stays open with the typed text.
    if (!pytools::reportFailure(m_platform, status))
        return;
    reloadKeepingSelection(window, i, j);
    if (status->markerRewritten)
        m_platform.messageBox(LibraryMessages::MarkerRewrittenMessage, Platform::NoticeTitle,
                              MsgIcon::Information, MsgButtons::Ok);
}

CommentLibrary::Entry LibraryCommands::selectedEntry(const pytools *window)
{
    return {CommentLibrary::trimBlanks(window->selectedCategory()), window->rating(), window->selectedComment()};
}

void LibraryCommands::reloadKeepingSelection(pytools *window, int category, int comment)
{
    const Rating rating = window->rating();
    window->load();
    if (category >= 0 && category < window->lblb()->count())
        window->lblb()->setCurrentRow(category);
    window->setRating(rating);
    window->fillComments();
    if (comment > 0 && comment < window->lbnr()->count())
        window->lbnr()->setCurrentRow(comment);
}
