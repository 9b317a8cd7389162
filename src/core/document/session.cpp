#include "core/document/session.h"

#include "core/document/commentsstep.h"
#include "core/document/roster.h"
#include "core/document/rosterstep.h"

namespace {

/// "（保留改过的 2 条评语）" after a step's caption, when the step leaves comments as they are.
QString keptNote(int kept)
{
    return kept > 0 ? QStringLiteral("（保留改过的 %1 条评语）").arg(kept) : QString();
}

} // namespace

Session::Session(QObject *parent)
    : QObject(parent)
{
    connect(&m_history, &QUndoStack::cleanChanged, this, &Session::updateModified);
    connect(&m_history, &QUndoStack::indexChanged, this, [this] {
        updateModified();
        emit edited();
    });
}

QString Session::undoCaption() const
{
    if (!m_history.canUndo())
        return {};
    const auto *step = dynamic_cast<const CommentsStep *>(m_history.command(m_history.index() - 1));
    return QStringLiteral("撤消") + m_history.undoText() + keptNote(step ? step->keptBy(true) : 0);
}

QString Session::redoCaption() const
{
    if (!m_history.canRedo())
        return {};
    const auto *step = dynamic_cast<const CommentsStep *>(m_history.command(m_history.index()));
    return QStringLiteral("重做") + m_history.redoText() + keptNote(step ? step->keptBy(false) : 0);
}

void Session::clearHistory()
{
    // Another document: its history starts afresh, and clearing it is no edit of the new one.
    const QSignalBlocker blocker(m_history);
    m_history.clear();
    updateModified();
    emit historyCleared();
}

void Session::reset(const QString &programFolder)
{
    m_files = ProgramFiles(programFolder);
    setCurrentFile(QString(), false);
    m_typed = false;
    clearHistory();
    setCurrentStudent(-1);
    setActiveScheme(QString());
    m_document.reset();
    m_ratings = {};
    emit documentReplaced();
}

void Session::setActiveScheme(const QString &name)
{
    if (name == m_activeScheme)
        return;
    m_activeScheme = name;
    emit activeSchemeChanged(name);
}

void Session::setCurrentFile(const QString &path, bool hasFileName)
{
    if (path == m_currentPath && hasFileName == m_hasFileName)
        return;
    m_currentPath = path;
    m_hasFileName = hasFileName;
    emit currentFileChanged();
}

void Session::markModified()
{
    m_typed = true;
    updateModified();
    emit edited();
}

void Session::markSaved()
{
    m_typed = false;
    m_history.setClean();
    updateModified();
}

void Session::updateModified()
{
    setModified(m_typed || !m_history.isClean());
}

void Session::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void Session::setCurrentStudent(int card)
{
    if (card == m_currentStudent)
        return;
    m_currentStudent = card;
    emit currentStudentChanged(card);
}

void Session::replaceDocument(const CommentDocument &document)
{
    m_document = document;
    m_ratings = {};
    clearHistory();
    emit documentReplaced();
}

void Session::setRatings(const RatingsFile::Table &ratings)
{
    m_ratings = RatingsFile::forRoster(ratings, Roster::names(m_document));
    emit ratingsChanged();
}

void Session::setComment(int slot, const QString &comment)
{
    m_document.slot(slot).comment = comment;
    markModified();
    emit commentChanged(slot);
}

void Session::putComment(int slot, const QString &comment)
{
    m_document.slot(slot).comment = comment;
    emit commentChanged(slot);
}

void Session::changeComments(const QString &stepName, const QList<FindReplace::Change> &changes)
{
    if (!changes.isEmpty())
        m_history.push(new CommentsStep(*this, stepName, changes));
}

void Session::setTeacherSignature(const QString &signature)
{
    if (signature == m_document.TeacherSignature)
        return;
    m_document.TeacherSignature = signature;
    markModified();
}

void Session::setItemFont(int item, const ItemFont &font, bool marksModified)
{
    ItemFont &current = m_document.ItemFonts[std::size_t(item)];
    if (font == current)
        return;
    current = font;
    if (marksModified)
        markModified();
}

int Session::addStudent(const QString &name)
{
    const int k = m_document.studentCount();
    if (k >= CommentDocument::MaxStudents)
        return -1;
    pushRosterStep(QStringLiteral("添加学生"), [&name](CommentDocument &document) { Roster::addStudent(document, name); });
    return k;
}

void Session::deleteStudent(int k)
{
    if (k < 0 || k >= m_document.studentCount())
        return;
    // The row goes with its student, also when another has the same name.
    pushRosterStep(
        QStringLiteral("删除学生"), [k](CommentDocument &document) { Roster::deleteStudent(document, k); },
        [k](int after) { return after < k ? after : after + 1; });
}

void Session::renameStudent(int k, const QString &name)
{
    if (k < 0 || k >= m_document.studentCount() || m_document.slot(k + 1).name == name)
        return;
    // The comment and the ratings follow the student.
    pushRosterStep(
        QStringLiteral("修改姓名"), [k, &name](CommentDocument &document) { Roster::renameStudent(document, k, name); },
        [](int after) { return after; });
}

void Session::deleteAll()
{
    if (m_document.studentCount() == 0)
        return;
    pushRosterStep(QStringLiteral("全部删除"), Roster::deleteAll);
}

void Session::changeRoster(const std::function<void(CommentDocument &)> &change, const QString &stepName)
{
    pushRosterStep(stepName, change);
}

void Session::pushRosterStep(const QString &stepName, const std::function<void(CommentDocument &)> &change,
                             const std::function<int(int)> &origin)
{
    m_history.push(new RosterStep(*this, stepName, change, origin));
}

void Session::putRoster(const QList<StudentSlot> &students, const RatingsFile::Table &ratings)
{
    m_document.clearSlots();
    for (int k = 0; k < students.size() && k < CommentDocument::MaxStudents; ++k)
        m_document.slot(k + 1) = students[k];
    m_ratings = ratings;
    emit rosterChanged();
}
