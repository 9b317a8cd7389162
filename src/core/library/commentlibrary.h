#pragma once

#include "core/document/rating.h"
#include "core/library/librarylock.h"
#include "core/platform/result.h"

#include <QString>
#include <QStringList>

/// The stock-comment library file pyk.vxd: categories, each with three sections (好, 中, 差) of
/// one-line comments. Nothing is cached: every query reads the file, every change takes the lock
/// beside it (LibraryLock), reads all of it, builds the new text from what is there now, writes
/// the whole file back atomically and releases the lock, so that several teachers can change one
/// shared library at once without losing each other's changes.
///
/// Lines: "*!*类别之" + name opens a category; TAB "*!*" name letter opens a section; a comment
/// line (TAB TAB text) is recognised by its place after a section line and loses its first two
/// characters, whatever they are.
class CommentLibrary
{
public:
    static inline const QString CategoryMarker = QStringLiteral("*!*类别之");
    static inline const QString SectionMarker = QStringLiteral("*!*");
    /// A comment is written with every "*!*" in it as "*！*" (a full-width exclamation mark),
    /// as the comment file does: a comment line holding the marker would end its section.
    static inline const QString EscapedMarker = QStringLiteral("*！*");
    /// The file name in the program folder.

    /// The letter of a rating in the file: 好, 中 or 差.
    static QChar letter(Rating rating);

    /// The text without the blanks (U+0020) at its start and end. Names and comments are
    /// stripped of blanks only: a TAB or a full-width space (U+3000) is part of them.
    static QString trimBlanks(QStringView text);

    /// A stock comment with where it is filed.
    struct Entry
    {
        QString category;
        Rating rating = Rating::Excellent;
        QString text;

        friend bool operator==(const Entry &, const Entry &) = default;
    };

    /// What a change did besides changing the file.
    struct Written
    {
        bool markerRewritten = false; ///< a comment written held "*!*", now EscapedMarker
    };

    explicit CommentLibrary(QString path);

    const QString &path() const { return m_path; }

    /// How a change waits for another's lock (30 s, a notice after 3 s, by default).
    void setLockWait(LockWait wait) { m_wait = std::move(wait); }

    // Queries and changes fail as FailureKind::Unreadable (nothing is written) or, for a
    // change, FailureKind::WriteFailed (the old file is untouched) or FailureKind::Stopped (the
    // lock was not had in time; nothing was read or written).

    /// The names of all categories in file order (blanks around a name removed).
    Result<QStringList> categoryNames() const;

    /// The comments of one section in file order; empty when there is no such section.
    Result<QStringList> comments(const QString &category, Rating rating) const;

    /// Every comment the window can show, category by category (file order), each category's
    /// 好, 中 and 差 sections in turn: what categoryNames() and comments() give, read at once.
    Result<QList<Entry>> entries() const;

    /// The entries whose text holds every word of the query (words split at blanks and
    /// full-width spaces; Latin letters in either case), in their order; at most `limit`.
    static QList<Entry> search(const QList<Entry> &entries, QStringView query, qsizetype limit);

    // Changes. Comments are written on one line, with the marker rewritten (see EscapedMarker).
    Result<Written> addCategory(const QString &name);
    Result<Written> renameCategory(const QString &oldName, const QString &newName);
    Result<Written> deleteCategory(const QString &name);
    Result<Written> addComments(const QString &category, Rating rating, const QStringList &texts);
    Result<Written> replaceComment(const QString &oldText, const QString &newText);
    Result<Written> deleteComment(const QString &text);

    // Changes of one comment named by its place and text, as the teacher saw it. When another
    // teacher has meanwhile changed or deleted it, they fail as FailureKind::NotFound with
    // VanishedMessage and change nothing.
    Result<Written> replaceComment(const Entry &old, const QString &newText);
    Result<Written> deleteComment(const Entry &old);

    /// Adds the comments first in their section, making the category (at the end) when there
    /// is none; empty texts are skipped, as the batch import does.
    Result<Written> addCommentsFirst(const QString &category, Rating rating, const QStringList &texts);

    /// Adds, category by category and rating by rating, the comments of `other` this library
    /// lacks (same text, same comment): after a section's own comments, a new category at the
    /// end. Returns how many were added; merging the same library again adds none. `other` is
    /// read whole first; nothing is written when it cannot be.
    Result<qsizetype> merge(const CommentLibrary &other);

    static inline const QString VanishedMessage =
        QStringLiteral("这条评语已被其他老师修改或删除，评语库没有改动。");

    // The same rules on lines in memory, for the file operations above and for tests.
    static QStringList categoryNamesIn(const QStringList &lines);
    static QStringList commentsIn(const QStringList &lines, const QString &category, Rating rating);
    static QList<Entry> entriesIn(const QStringList &lines);
    static QStringList withCategoryAdded(const QStringList &lines, const QString &name);
    static QStringList withCategoryRenamed(const QStringList &lines, const QString &oldName,
                                           const QString &newName);
    static QStringList withCategoryDeleted(const QStringList &lines, const QString &name);
    static QStringList withCommentsAdded(const QStringList &lines, const QString &category, Rating rating,
                                         const QStringList &texts);
    static QStringList withCommentReplaced(const QStringList &lines, const QString &oldText,
                                           const QString &newText);
    static QStringList withCommentDeleted(const QStringList &lines, const QString &text);
    /// What merge() adds to lines, and how many comments that is.
    static QStringList withMerged(const QStringList &lines, const QList<Entry> &other, qsizetype *added);

private:
    QString m_path;
    LockWait m_wait;
};
