#include "core/document/documentlifecycle.h"

#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/document/recentfiles.h"
#include "core/document/recovery.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/platform/savelocation.h"
#include "core/platform/textfile.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

bool ReadCommentFile(Session &session, Platform &platform, const QString &path,
                     CommentFile::ReadDetails *details)
{
    // Read into a copy: a file that is refused leaves what the reader reached, as before.
    CommentDocument document = session.Document();
    const Result<CommentFile::ReadDetails> read = CommentFile::read(path, document);
    // A class larger than the program holds is refused whole, as a file of another kind is:
    // opening its first 100 students would drop the rest at the next save.
    const bool tooMany = read && read->students > CommentDocument::MaxStudents;
    if (tooMany)
        document.clearSlots();
    session.replaceDocument(document);
    if (!read || tooMany) {
        platform.messageBox(tooMany ? DocumentMessages::TooManyStudentsMessage.arg(path).arg(read->students)
                                    : read.error(),
                            Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    if (details)
        *details = *read;
    return true;
}

bool WriteCommentFile(const CommentDocument &document, const QString &path, Platform &platform,
                      const ItemFonts &fonts)
{
    const Result<QStringList> written = CommentFile::write(path, document, fonts);
    if (!written) {
        // The reason says what became of the file on disk; the document is as it was.
        platform.messageBox(DocumentMessages::SaveFailedMessage.arg(path, written.error()),
                            Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    if (!written->isEmpty()) {
        platform.messageBox(DocumentMessages::MarkerRewrittenMessage.arg(CommentFile::Marker,
                                                                         CommentFile::EscapedMarker,
                                                                         written->join(QStringLiteral("、"))),
                            Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
    }
    return true;
}

bool WriteCommentFile(const CommentDocument &document, const QString &path, Platform &platform)
{
    return WriteCommentFile(document, path, platform, document.ItemFonts);
}

DocumentLifecycle::DocumentLifecycle(Session &session, Platform &platform, EditorHost &host)
    : m_session(session)
    , m_platform(platform)
    , m_host(host)
{}

QString DocumentLifecycle::editorCaption(const QString &currentPath)
{
    const QString prefix = QStringLiteral("评语编辑窗口：");
    if (currentPath.isEmpty())
        return prefix + QStringLiteral("新文件");
    return prefix + currentPath.mid(currentPath.lastIndexOf(u'/') + 1);
}

bool DocumentLifecycle::OpenEditor()
{
    m_host.showEditorWindow(editorCaption(m_session.CurrentPath()));
    const QString path = m_session.CurrentPath();
    const bool fromFile = !path.isEmpty();
    CommentFile::ReadDetails outcome;
    const bool accepted =
        ReadCommentFile(m_session, m_platform, fromFile ? path : m_session.Files().templateFile(), &outcome);
    if (!accepted && fromFile) {
        // The document no longer holds that file's content: never save over it.
        m_session.setCurrentFile(QString(), false);
        m_host.setEditorCaption(editorCaption(m_session.CurrentPath()));
    }
    m_host.RefreshViews();
    m_host.reopenStudentList(true);
    if (accepted && fromFile && outcome.unreadableBytes > 0) {
        // Told once the file is on screen, so that the teacher can look at the places.
        m_platform.messageBox(
            DocumentMessages::UnreadableBytesMessage.arg(path, QString::number(outcome.unreadableBytes)),
            Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    }
    return accepted || !fromFile;
}

void DocumentLifecycle::remember(const QString &path)
{
    m_platform.setRecentFiles(
        RecentFiles::withOpened(m_platform.recentFiles(), QFileInfo(path).absoluteFilePath()));
}

bool DocumentLifecycle::saveTo(const QString &path)
{
    if (!WriteCommentFile(m_session.Document(), path, m_platform, m_host.displayFonts()))
        return false;
    m_session.setCurrentFile(path, true);
    m_host.setEditorCaption(editorCaption(path));
    m_session.markSaved();
    remember(path);
    // The ratings go with the class, also to a new name.
    if (RatingsFile::hasGrades(m_session.Ratings())) {
        const QString ratings = RatingsFile::sidecarPath(path);
        if (const Result<void> written = RatingsFile::write(ratings, m_session.Ratings(), path); !written)
            m_platform.messageBox(DocumentMessages::RatingsNotWrittenMessage.arg(ratings, written.error()),
                                  Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    }
    return true;
}

bool DocumentLifecycle::CloseEditor()
{
    if (m_session.Modified()) {
        switch (m_platform.messageBox(DocumentMessages::SaveQuestion, Platform::NoticeTitle,
                                      MsgIcon::Question, MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes: {
            QString path = m_session.CurrentPath();
            if (!m_session.HasFileName()) {
                path = m_platform.saveFileName(SaveFilter);
                if (path.isEmpty())
                    return false;
            }
            if (!saveTo(path))
                return false;
            break;
        }
        case MsgAnswer::No:
            m_session.markSaved(); // the changes are given up
            break;
        default:
            return false;
        }
    }
    m_session.setCurrentStudent(-1);
    m_session.setCurrentFile(QString(), m_session.HasFileName());
    ReadCommentFile(m_session, m_platform, m_session.Files().templateFile());
    m_host.reopenStudentList(false);
    m_host.closeEditorWindow();
    m_session.setCurrentStudent(-1); // reopening the list may have moved the closing editor
    return true;
}

void DocumentLifecycle::NewDocument()
{
    if (!m_host.showEditingWindows())
        return;
    if (m_host.editorIsOpen() && !CloseEditor())
        return;
    OpenEditor();
    m_session.markSaved();
    m_session.setCurrentFile(m_session.CurrentPath(), false);
}

bool DocumentLifecycle::OpenDocument()
{
    if (!m_host.showEditingWindows())
        return false;
    const QString path = m_platform.openFileName(OpenFilter);
    if (path.isEmpty())
        return false;
    openPath(path);
    return true;
}

void DocumentLifecycle::openPath(const QString &path)
{
    // A pipe or a device is no comment file: refused before anything is closed, and without
    // ever waiting on it.
    if (const QString why = TextFile::notARegularFile(path); !why.isEmpty()) {
        m_platform.messageBox(DocumentMessages::UnreadableMessage.arg(path, why), Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (!m_host.showEditingWindows() || (m_host.editorIsOpen() && !CloseEditor()))
        return;
    m_session.setCurrentFile(path, false);
    // A file that could not be read leaves an unnamed document (OpenEditor clears the path).
    const bool opened = OpenEditor();
    m_session.setCurrentFile(m_session.CurrentPath(), opened);
    m_session.markSaved();
    if (opened) {
        remember(path);
        readRatings(path);
    }
}

void DocumentLifecycle::readRatings(const QString &classPath)
{
    const QString path = RatingsFile::sidecarPath(classPath);
    const RatingsFile::SidecarFile sidecar = RatingsFile::openSidecar(path, classPath);
    switch (sidecar.state) {
    case RatingsFile::Sidecar::Missing:
        return;
    case RatingsFile::Sidecar::Foreign:
        m_platform.messageBox(DocumentMessages::RatingsForeignMessage.arg(path), Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    case RatingsFile::Sidecar::Trusted:
        break;
    }
    RatingsFile::Problems problems;
    const Result<RatingsFile::Table> table =
        sidecar.error.isEmpty()
            ? RatingsFile::ownColumnsOf(sidecar.bytes, path, Roster::names(m_session.Document()), &problems)
            : Result<RatingsFile::Table>(Failure{sidecar.error, FailureKind::Unreadable});
    if (!table) {
        m_platform.messageBox(DocumentMessages::RatingsUnreadableMessage.arg(path, table.error()),
                              Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    m_session.setRatings(*table);
    if (const QStringList lines = RatingsFile::problemLines(problems); !lines.isEmpty())
        m_platform.messageBox(DocumentMessages::RatingsProblemsMessage.arg(path, lines.join(QStringLiteral("\r\n"))),
                              Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
}

void DocumentLifecycle::closeDocument()
{
    if (m_host.showEditingWindows())
        CloseEditor();
}

bool DocumentLifecycle::SaveDocument()
{
    QString path = m_session.CurrentPath();
    if (!m_session.HasFileName()) {
        path = m_platform.saveFileName(SaveFilter);
        if (path.isEmpty())
            return false;
    }
    return saveTo(path);
}

bool DocumentLifecycle::SaveDocumentAs()
{
    const QString own = m_session.namedPath();
    const QString path =
        m_platform.saveFileName(SaveFilter, SaveLocation::proposedPath(own, QStringLiteral("py")));
    if (path.isEmpty())
        return false;
    return saveTo(path);
}

bool DocumentLifecycle::canExit()
{
    return !m_host.editorIsOpen() || CloseEditor();
}

void DocumentLifecycle::offerRecovery(RecoveryStore &store)
{
    // The newest few copies of each file are offered, newest first; the older ones are
    // counted in the offer and stay in the folder.
    QList<RecoveryStore::Copy> copies = store.leftOver();
    std::reverse(copies.begin(), copies.end());
    QHash<QString, int> perFile;
    for (const RecoveryStore::Copy &copy : std::as_const(copies))
        ++perFile[copy.originalPath];
    QHash<QString, int> offered;
    int questions = 0;
    for (RecoveryStore::Copy copy : std::as_const(copies)) {
        if (questions == MaxRecoveryQuestions)
            break;
        int &ofFile = offered[copy.originalPath];
        if (ofFile == MaxRecoveryCopiesPerFile)
            continue;
        // Another start offers it already, or it is gone.
        if (!store.claim(copy))
            continue;
        ++ofFile;
        ++questions;
        if (offerCopy(store, copy, perFile.value(copy.originalPath) - MaxRecoveryCopiesPerFile))
            break; // one document at a time: the others wait for the next start
    }
}

bool DocumentLifecycle::offerCopy(RecoveryStore &store, RecoveryStore::Copy &copy, int others)
{
    const QString file = copy.originalPath.isEmpty() ? QStringLiteral("新文件") : copy.originalPath;
    QString question = DocumentMessages::RecoveryQuestion.arg(
        file, copy.saved.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (others > 0)
        question += DocumentMessages::RecoveryOthersNote.arg(others);
    const MsgAnswer answer = m_platform.messageBox(question, DocumentMessages::RecoveryTitle,
                                                   MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::No) {
        store.remove(copy);
        return false;
    }
    if (answer != MsgAnswer::Yes || (m_host.editorIsOpen() && !CloseEditor())) {
        store.release(copy);
        return false;
    }
    m_session.setCurrentFile(copy.copyPath, false);
    if (!OpenEditor()) {
        store.release(copy);
        return false; // told why; the copy stays for another try
    }
    if (const QByteArray ratings = store.ratings(copy); !ratings.isEmpty())
        m_session.setRatings(RatingsFile::fromCsvBytes(ratings, Roster::names(m_session.Document()), nullptr));
    // The original's name is taken only for a file of the teacher's own that was not saved
    // again after the copy; otherwise Save asks where, and the file named in the copy is
    // never written unasked.
    const QFileInfo original(copy.originalPath);
    const bool changedSince = original.exists() && original.lastModified() > copy.saved;
    const bool own = store.isUsersOwn(copy.originalPath);
    const bool readOnly = !copy.lockable;
    const QString path = readOnly ? QString() : copy.originalPath;
    m_session.setCurrentFile(path, !path.isEmpty() && !changedSince && own);
    m_host.setEditorCaption(editorCaption(path));
    m_session.markModified();
    if (readOnly) {
        // The disk is full: the copy stays until the recovered comments are saved elsewhere.
        store.release(copy);
        m_platform.messageBox(DocumentMessages::RecoveredReadOnlyMessage, DocumentMessages::RecoveryTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return true;
    }
    store.remove(copy);
    if (!copy.originalPath.isEmpty() && !own)
        m_platform.messageBox(DocumentMessages::RecoveredOutsideOwnFilesMessage.arg(copy.originalPath),
                              DocumentMessages::RecoveryTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    else if (changedSince)
        m_platform.messageBox(DocumentMessages::RecoveredOverChangedFileMessage.arg(copy.originalPath),
                              DocumentMessages::RecoveryTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    return true;
}
