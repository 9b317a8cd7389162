#pragma once

#include "core/platform/result.h"
#include "core/printing/layoutscheme.h"

#include <QString>
#include <QStringList>

#include <optional>

/// The print layout file (ProgramFiles::schemes()): named schemes, one block of thirteen lines each —
/// "name=" + name, the eleven value lines "key=value" in LayoutScheme::FileFields order, "*!*".
/// A scheme that prints a heading or a date has the four lines of each such item ("titleleft=",
/// "titletop=", "titletext=", "titlefont=", then the date's) before its "*!*"; they are read
/// only inside their own block and never hold "name=" or one of the eleven keys, so a reader
/// that knows only the eleven reads the file as before.
/// Lines outside blocks (empty lines between blocks, anything else) are ignored by the readers
/// and copied unchanged by the writers.
///
/// Nothing is cached: every operation reads the file from the top, so each one sees what the
/// last one wrote. Lines end with CR LF, a lone CR or a lone LF (the file may have been edited by
/// hand on any system); everything written ends its lines with CR LF. A change builds the whole
/// new file and replaces the old one atomically; lines it keeps are written as the bytes they had.
class LayoutSchemeFile
{
public:
    /// The value read for every key of a scheme that no name line carries.
    static inline const QString NoScheme = QStringLiteral("fname");
    /// The value read for a key that no line after the scheme's name line holds.
    static inline const QString NoKey = QStringLiteral("xname");
    /// Ends a block.
    static inline const QString BlockEnd = QStringLiteral("*!*");
    /// Opens a block; also what the scheme list looks for.
    static inline const QString NamePrefix = QStringLiteral("name=");

    // Queries and changes fail as FailureKind::Unreadable (nothing is written) or, for a
    // change, FailureKind::WriteFailed (the old file is untouched).

    explicit LayoutSchemeFile(QString path);

    const QString &path() const { return m_path; }

    /// Every line containing "name=" gives its text from the sixth character on, in file order,
    /// neither trimmed nor de-duplicated.
    Result<QStringList> listSchemes() const;

    /// The value of a field in the first block named scheme (blanks around it ignored): NoScheme
    /// when no line but the last reads "name=" + scheme; otherwise the first later line holding
    /// the field's key, without the key's length plus one characters (the search runs past "*!*"
    /// into later blocks), or NoKey when only the last line or none holds it. An optional item's
    /// field is the first line of its own block starting with "key=", else NoKey.
    Result<QString> readSchemeValue(const QString &scheme, SchemeField field) const;

    /// The scheme named scheme: each field read as readSchemeValue reads it, the sentinels kept
    /// as texts; name is scheme as given. An optional item is printed when its block holds any
    /// of its lines; the values it lacks are empty.
    Result<LayoutScheme> loadScheme(const QString &scheme) const;

    /// The scheme named `scheme`, or the first in the file when the name is empty. Fails as
    /// FailureKind::NotFound for a name the file does not list (the reason names those it
    /// does), as FailureKind::Empty when it lists none, and as the reading fails otherwise.
    Result<LayoutScheme> loadOrFirst(const QString &scheme) const;

    /// Adds a block at the end: the old bytes as they are, CR LF, then the thirteen lines of the
    /// block, each ended by CR LF. The name is written trimmed, as loading looks it up. A name
    /// that is already there is not checked for.
    Result<void> appendScheme(const QString &name, const LayoutScheme &values);

    /// Writes the values into the first block named scheme (found as readSchemeValue finds it):
    /// its eleven value lines and "*!*" replace the old lines up to and including the first one
    /// holding "*!*" (or up to the end). A name no block carries leaves the file as it is and
    /// fails as FailureKind::NotFound.
    Result<void> saveScheme(const QString &scheme, const LayoutScheme &values);

    // The same rules on lines in memory, for the file operations above and for tests.
    static QStringList schemesIn(const QStringList &lines);
    static QString valueIn(const QStringList &lines, const QString &scheme, SchemeField field);
    static LayoutScheme schemeIn(const QStringList &lines, const QString &scheme);
    /// The lines after saving; nullopt when no block is named scheme.
    static std::optional<QStringList> withSchemeSaved(const QStringList &lines, const QString &scheme,
                                                      const LayoutScheme &values);
    /// The thirteen lines of a block. A line break in the name or a value would split the block,
    /// so each one is written as a blank; the name is then trimmed.
    static QStringList blockLines(const QString &name, const LayoutScheme &values);

private:
    QString m_path;
};
