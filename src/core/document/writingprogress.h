#pragma once

#include <QString>
#include <QStringView>

class CommentDocument;

/// How far the teacher has come: which comments are written, and how long one is.
namespace WritingProgress {

/// Whether a comment holds anything to print: blanks, full-width spaces and line breaks alone
/// leave the page as empty as no comment does.
bool isWritten(QStringView comment);

/// How many students of the roster (up to the first empty name) have a written comment.
int writtenCount(const CommentDocument &document);

/// The length of a text as a reader counts characters: a CJK character, a character outside the
/// BMP (a surrogate pair) and a letter with its combining marks (a grapheme cluster) are one each.
int characterCount(QStringView text);

/// The length of a comment as its reader counts it, for the status bar: characterCount without
/// line breaks, tabs and spaces (full-width ones too), wherever they stand.
int readerCount(QStringView text);

/// The status bar's progress: "已写 8/30".
QString writtenText(int written, int students);

/// The status bar's length of the current comment: "本条评语 123 字".
QString lengthText(int characters);

} // namespace WritingProgress
