#pragma once

#include "core/platform/result.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class CommentDocument;
class Platform;
struct LayoutScheme;
class TextMeasurer;

/// One file per student, to send to each family: a one-page PDF laid out as printing does, or
/// the same page as a PNG image for phones.
namespace StudentCopies {

enum class Kind { Pdf, Png };

/// "pdf" or "png".
QString suffix(Kind kind);

/// PNG pages are drawn at 150 dots per inch: 1,240 pixels across an A4 page.
constexpr double ImageDpi = 150;

/// The pixel size of a page image of the scheme's paper (at least 1 × 1); an empty size for a
/// paper the scheme cannot print on.
QSize imageSize(const LayoutScheme &scheme);

/// The page of `student` (0-based) as an image: white, the items in black, as printed.
QImage pageImage(const CommentDocument &document, int student, const LayoutScheme &scheme,
                 const TextMeasurer &measurer, const QString &className = QString());

/// What a run would write: the students and their file names, and which of those files are
/// in `folder` already (the teacher is asked once about all of them).
struct Plan
{
    QList<int> students;
    QStringList fileNames;
    QStringList existing;
    QString className; ///< what a heading's "{班级}" stands for
    /// The class file: every file written takes its permission bits, so that a class kept
    /// private does not hand its comments to whoever can list the folder. Empty: the usual bits.
    QString classPath;
};
Plan plan(const CommentDocument &document, const QString &folder, Kind kind, bool includeEmpty,
          const QString &className = QString());

/// Told before each file with the files done and the files in all; returns true to stop.
using Progress = std::function<bool(int done, int total)>;

struct Outcome
{
    QStringList written; ///< the paths written, in order
    bool stopped = false;
    QString error; ///< why the run stopped on a file it could not write, in the teacher's language
};

/// Writes the plan's files into `folder`, each atomically (a file is whole or not there): a
/// file that cannot be written stops the run with the reason; the files before it stay.
Outcome write(const Plan &plan, const QString &folder, Kind kind, const CommentDocument &document,
              const LayoutScheme &scheme, const TextMeasurer &measurer, const Progress &progress = {});

/// What the teacher chose for 导出每位学生一份.
struct Choice
{
    QString folder;
    Kind kind = Kind::Pdf;
    bool includeEmpty = false; ///< 包括未写评语的学生
    QString className;         ///< the class file's name, for a heading's "{班级}"
    QString classPath;         ///< the class file, whose permission bits the files take
};

/// The title of the progress box and of the window.
inline const QString Title = QStringLiteral("导出每位学生一份");

/// 导出每位学生一份's first step, before anything is shown: the plan, or why there is nothing
/// to write (the folder is not there or takes no files, no student gets a file), in the words
/// the teacher is told.
Result<Plan> prepare(const CommentDocument &document, const Choice &choice);

/// 文件 → 导出每位学生一份, through `platform`, one box at a time: checks first and asks once
/// about files of the same names already there (替换 / 取消); then writes the files under a
/// progress box with 停止; once that box has closed, says how it went. Returns what was
/// written; nothing when the teacher cancelled or there was nothing to write.
Outcome exportCopies(const CommentDocument &document, const Choice &choice, const LayoutScheme &scheme,
                     const TextMeasurer &measurer, Platform &platform);

} // namespace StudentCopies
