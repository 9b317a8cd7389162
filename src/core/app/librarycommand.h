#pragma once

#include "core/library/commentlibrary.h"

#include <QString>

#include <optional>

class QTextStream;

/// `qhsy --add-comments LIBRARY CATEGORY RATING FILE|-` and `qhsy --merge-library LIBRARY OTHER`:
/// changes of a (shared) comment library without a window, each one change under its lock.
namespace LibraryCommand {

/// The rating a command line names: 优秀, 良好 or 后进; nullopt for anything else.
std::optional<Rating> ratingNamed(const QString &name);

/// How long a command waits for another's lock before giving up.
inline constexpr std::chrono::milliseconds LockLimit{30000};

/// Adds the lines of FILE ("-": standard input; UTF-8, UTF-16 or GB18030; empty lines skipped)
/// first in the section CATEGORY/RATING of LIBRARY, making the category when there is none.
/// Prints one line with the number added. 0 on success; 2 when LIBRARY or FILE was rejected or
/// could not be read; 1 when the lock was not had within `wait.limit` (naming who holds it) or
/// the library could not be written.
int addComments(const QString &library, const QString &category, Rating rating, const QString &file,
                QTextStream &out, QTextStream &err, LockWait wait = {LockLimit});

/// Merges OTHER into LIBRARY (CommentLibrary::merge) and prints one line with the number added.
/// Exit codes as for addComments, 2 also when OTHER was rejected.
int mergeLibrary(const QString &library, const QString &other, QTextStream &out, QTextStream &err,
                 LockWait wait = {LockLimit});

} // namespace LibraryCommand
