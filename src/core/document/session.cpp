#include "core/document/session.h"

#include "core/document/roster.h"

Session::Session(QObject *parent)
    : QObject(parent)
{}

void Session::reset(const QString &programFolder)
{
    m_programFolder = programFolder;
    setCurrentFile(QString(), false);
    setModified(false);
    setCurrentStudent(-1);
    m_document.reset();
    m_ratings = {};
    emit documentReplaced();
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
    setModified(true);
    emit edited();
}

void Session::markSaved()
{
    setModified(false);
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
    const int k = Roster::addStudent(m_document, name);
    if (k >= 0) {
        m_ratings = RatingsFile::forRoster(m_ratings, Roster::names(m_document));
        markModified();
        emit rosterChanged();
    }
    return k;
}

void Session::deleteStudent(int k)
{
    // The row goes with its student, also when another has the same name.
    if (k >= 0 && k < m_ratings.names.size()) {
        m_ratings.names.removeAt(k);
        m_ratings.grades.removeAt(k);
    }
    changeRoster([k](CommentDocument &document) { Roster::deleteStudent(document, k); });
}

void Session::renameStudent(int k, const QString &name)
{
    if (k < 0 || k >= m_document.studentCount() || m_document.slot(k + 1).name == name)
        return;
    if (k < m_ratings.names.size())
        m_ratings.names[k] = name; // the ratings follow the student
    changeRoster([k, &name](CommentDocument &document) { Roster::renameStudent(document, k, name); });
}

void Session::deleteAll()
{
    if (m_document.studentCount() == 0)
        return;
    changeRoster(Roster::deleteAll);
}

void Session::changeRoster(const std::function<void(CommentDocument &)> &change)
{
    change(m_document);
    m_ratings = RatingsFile::forRoster(m_ratings, Roster::names(m_document));
    markModified();
    emit rosterChanged();
}
