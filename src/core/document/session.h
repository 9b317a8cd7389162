#pragma once

#include "core/document/commentdocument.h"
#include "core/document/findreplace.h"
#include "core/document/ratingsfile.h"
#include "core/platform/programfiles.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

/// What a whole run of the program shares: the one comment document, the file it belongs to,
/// whether it changed since it was read or saved, and the current student. Everything changes
/// through the named operations below, which tell the windows by signals; windows read the
/// values and never keep copies of their own.
///
/// Whole-class steps (全部替换, 生成草稿, every roster change) are commands on one undo history,
/// whose clean state is set at every open and save. A comment typed into its box is not a step:
/// the box undoes its own typing. The class is modified while something was typed since the
/// last save or the history stands elsewhere than where it was saved.
class Session : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString CurrentPath READ CurrentPath NOTIFY currentFileChanged)
    Q_PROPERTY(bool HasFileName READ HasFileName NOTIFY currentFileChanged)
    Q_PROPERTY(bool Modified READ Modified NOTIFY modifiedChanged)
    Q_PROPERTY(int CurrentStudent READ CurrentStudent WRITE setCurrentStudent NOTIFY currentStudentChanged)
    Q_PROPERTY(QString ActiveScheme READ activeScheme WRITE setActiveScheme NOTIFY activeSchemeChanged)

public:
    explicit Session(QObject *parent = nullptr);

    /// The comment document of the class being edited.
    const CommentDocument &Document() const { return m_document; }
    /// Full path of the comment file; empty for a new document made from the template.
    const QString &CurrentPath() const { return m_currentPath; }
    /// Whether Save writes to CurrentPath without asking for a name.
    bool HasFileName() const { return m_hasFileName; }
    /// The class's own file: CurrentPath when Save writes there, else empty.
    QString namedPath() const { return m_hasFileName ? m_currentPath : QString(); }
    /// Whether the class differs from its file: typed into since it was read or saved, or its
    /// history moved away from the saved step.
    bool Modified() const { return m_modified; }
    /// The class's whole-class steps; cleared when another document is read.
    QUndoStack &History() { return m_history; }
    const QUndoStack &History() const { return m_history; }
    /// What 编辑→撤消 will do, e.g. "撤消全部替换", with the comments it leaves as they are now;
    /// empty when there is nothing to undo. redoCaption likewise for 重做.
    QString undoCaption() const;
    QString redoCaption() const;
    /// The class's ratings (评价表), one row a roster student in roster order; no categories when
    /// the class has none yet. They follow the roster's changes.
    const RatingsFile::Table &Ratings() const { return m_ratings; }
    /// Card index of the current student (slot = index + 1); -1 when there is none.
    int CurrentStudent() const { return m_currentStudent; }
    /// Name of the print scheme the class is printed, measured and drafted with, as the scheme
    /// file lists it; empty for the file's first scheme (also when the chosen one is gone since).
    const QString &activeScheme() const { return m_activeScheme; }
    /// Folder of the program's own files, ending with "/".
    const QString &ProgramFolder() const { return m_files.folder(); }
    /// The program's own files (library, schemes, template, help, icons).
    const ProgramFiles &Files() const { return m_files; }

    /// Every value back to its start-up state, with the program's files in `programFolder`.
    void reset(const QString &programFolder);
    /// The program's files are in `programFolder` (ending with "/"); nothing else changes.
    void setProgramFolder(const QString &programFolder) { m_files = ProgramFiles(programFolder); }

    /// The document now belongs to `path` (empty for a new document); `hasFileName` says
    /// whether Save may write there without asking.
    void setCurrentFile(const QString &path, bool hasFileName);
    /// The teacher changed the document.
    void markModified();
    /// The document matches its file again: it was read or saved, or its changes were given up.
    void markSaved();
    /// Makes card `card` the current student (-1 for none).
    void setCurrentStudent(int card);
    /// The teacher chose the print scheme named `name` (empty: the first in the scheme file).
    void setActiveScheme(const QString &name);

    /// The document as read from a file or made from the template; the modified flag stays.
    void replaceDocument(const CommentDocument &document);
    /// The comment of slot `slot` as the teacher typed it; marks the document modified.
    void setComment(int slot, const QString &comment);
    /// A whole-class change of comments as one step of the history named `stepName` ("全部替换").
    /// Each change's `before` is the comment now; nothing happens for no changes.
    void changeComments(const QString &stepName, const QList<FindReplace::Change> &changes);
    /// New ratings for the class (taken for the roster as it is); not a change of the comment file.
    void setRatings(const RatingsFile::Table &ratings);
    /// A new teacher signature; marks the document modified when it differs.
    void setTeacherSignature(const QString &signature);
    /// A new font for printed item `item` (0 name, 1 comment, 2 signature); marks the document
    /// modified when it differs, unless `marksModified` is false (the print window's font
    /// choice, which serves the printout, is no change of the file).
    void setItemFont(int item, const ItemFont &font, bool marksModified = true);

    // Roster changes: each is a step of the history and emits rosterChanged.
    /// Adds a student after the last one; its index, or -1 when the roster is full.
    int addStudent(const QString &name);
    /// Removes student k; the students after it move up.
    void deleteStudent(int k);
    /// Gives student k a new name (a change only when the name differs).
    void renameStudent(int k, const QString &name);
    /// Removes every student and comment (a change only when there were students).
    void deleteAll();
    /// Applies `change` to the roster (as the name import does), as the step `stepName`.
    void changeRoster(const std::function<void(CommentDocument &)> &change,
                      const QString &stepName = QStringLiteral("导入名单"));

signals:
    /// CurrentPath or HasFileName changed.
    void currentFileChanged();
    /// The modified flag changed.
    void modifiedChanged(bool modified);
    /// The document was changed (every change that marks it modified, the first and the later).
    void edited();
    /// Another student became current.
    void currentStudentChanged(int card);
    /// Another print scheme was chosen.
    void activeSchemeChanged(const QString &name);
    /// The comment of a slot (1-based) was set.
    void commentChanged(int slot);
    /// Students were added, removed or renamed.
    void rosterChanged();
    /// The whole document was replaced (read from a file or the template).
    void documentReplaced();
    /// The ratings were set.
    void ratingsChanged();
    /// The history was emptied (another document was read or made).
    void historyCleared();

private:
    friend class CommentsStep;
    friend class RosterStep;

    void setModified(bool modified);
    void updateModified();
    void clearHistory();
    /// For the steps: puts a comment in place without counting it as typed.
    void putComment(int slot, const QString &comment);
    /// For the steps: the roster (and its ratings rows) as given, then rosterChanged.
    void putRoster(const QList<StudentSlot> &students, const RatingsFile::Table &ratings);
    /// Pushes a roster step; `origin` maps each student after the change to the one it was
    /// before (-1 for a new one); none: a student is the same where its slot did not change.
    void pushRosterStep(const QString &stepName, const std::function<void(CommentDocument &)> &change,
                        const std::function<int(int)> &origin = {});

    CommentDocument m_document;
    QString m_currentPath;
    bool m_hasFileName = false;
    bool m_modified = false;
    bool m_typed = false; ///< a change outside the history since the last open or save
    QUndoStack m_history;
    int m_currentStudent = -1;
    QString m_activeScheme;
    ProgramFiles m_files;
    RatingsFile::Table m_ratings;
};
