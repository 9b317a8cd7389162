#pragma once

#include "core/document/commentfile.h"
#include "core/document/recovery.h"
#include "core/platform/itemfont.h"

#include <QString>

class Platform;
class Session;

// The reading and writing steps of the commands below: they tell the teacher what went wrong.

/// Reads the comment file at `path` into the session's document. Returns false when the file
/// was rejected or could not be read; the teacher has then been told why. *details (when given)
/// receives the unreadable bytes of an accepted file, which the caller reports.
bool ReadCommentFile(Session &session, Platform &platform, const QString &path,
                     CommentFile::ReadDetails *details = nullptr);

/// Writes `document` to `path` with the given display fonts. Returns false when the write
/// failed; the teacher has been told why and the old file is untouched.
bool WriteCommentFile(const CommentDocument &document, const QString &path, Platform &platform,
                      const ItemFonts &fonts);

/// Writes `document` with the fonts of its ItemFonts (no editor window open).
bool WriteCommentFile(const CommentDocument &document, const QString &path, Platform &platform);

/// What the document commands need of the windows: the editor and the student list.
class EditorHost
{
public:
    virtual ~EditorHost() = default;

    /// Shows the editor window, placed and captioned (the document is read afterwards).
    virtual void showEditorWindow(const QString &caption) = 0;
    /// Closes the editor window (its cards go with it).
    virtual void closeEditorWindow() = 0;
    virtual bool editorIsOpen() const = 0;
    virtual void setEditorCaption(const QString &caption) = 0;
    /// Rebuilds the editor's cards from the document and enables the document commands.
    virtual void RefreshViews() = 0;
    /// Closes and reopens the student list, so that it lists the document's roster.
    virtual void reopenStudentList(bool listEnabled) = 0;
    /// The fonts the editor shows on its first card: what a save writes.
    virtual ItemFonts displayFonts() const = 0;
    /// Leaves any view that stands in the editing windows' place (the print window) as its own
    /// exit does, so that the file commands find the windows whole. False when it cannot be
    /// left now (a print run is stopping); the command then does nothing.
    virtual bool showEditingWindows() { return true; }
};

/// New, Open, Save, Save As, Close and Exit: which file is edited, whether it changed, and the
/// question before unsaved changes are dropped.
class DocumentLifecycle
{
public:
    static inline const QString OpenFilter = QStringLiteral("评语文件|*.py|所有文件|*.*");
    static inline const QString SaveFilter =
        QStringLiteral("评语文件|*.py|文本文件|*.txt|Word文件|*.doc|所有文件|*.*");

    DocumentLifecycle(Session &session, Platform &platform, EditorHost &host);

    /// "评语编辑窗口：" and the file name of CurrentPath, or "评语编辑窗口：新文件".
    static QString editorCaption(const QString &currentPath);

    /// Opens the editor on CurrentPath (the template when empty). A file that is rejected or
    /// cannot be read leaves an unnamed document, so that Save never replaces it.
    /// Returns false in that case. A file holding bytes that are no text opens, and the teacher
    /// is then told that saving will replace them.
    bool OpenEditor();

    /// Asks about unsaved changes and closes the editor, leaving the template in the document.
    /// Returns false when the teacher cancelled (or the save failed): nothing changed.
    bool CloseEditor();

    void NewDocument();
    /// Open command: the open dialog, then the file. False when the dialog was cancelled.
    bool OpenDocument();
    /// Opens a file as the command line names it (Open without the dialog). A folder, a pipe
    /// or a device is refused before the current document is closed.
    void openPath(const QString &path);
    bool SaveDocument();
    bool SaveDocumentAs();
    /// Close command.
    void closeDocument();
    /// Before the program ends: false when the teacher chose to stay.
    bool canExit();
    /// Copies of one file offered at one start (the newest), and questions in all.
    static constexpr int MaxRecoveryCopiesPerFile = 3;
    static constexpr int MaxRecoveryQuestions = 10;

    /// At start: offers the copies other runs left ("恢复未保存的评语"), the newest few of each
    /// file, each claimed first so that no other start offers it too. Yes opens it as a modified
    /// document under its original path (Save As when that file changed after the copy or is
    /// not the teacher's own; an unnamed document, the copy kept, when its lock could not be
    /// taken), No deletes it, Cancel keeps it for the next start.
    void offerRecovery(RecoveryStore &store);

private:
    /// One offer; others is how many older copies of the file are not offered. True when the
    /// copy was opened.
    bool offerCopy(RecoveryStore &store, RecoveryStore::Copy &copy, int others);
    bool saveTo(const QString &path);
    /// Puts a file opened or saved first in the recent files.
    void remember(const QString &path);
    /// Reads the ratings kept beside the class; what cannot be read is told, never refused.
    void readRatings(const QString &classPath);

    Session &m_session;
    Platform &m_platform;
    EditorHost &m_host;
};
