#pragma once

#include "core/printing/layoutscheme.h"
#include "core/printing/pdfexport.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class CommentDocument;
struct CommandMode;
class QTextStream;

/// The program's command line. The options below run without a display; any other text after
/// the program name is the path of a comment file to open.
namespace CommandLine {

/// OUT "-": standard output.
inline const QString StandardOutputName = QStringLiteral("-");

/// The arguments taken apart: the mode (see CommandLine::modes) with its operands and options,
/// or the file to open in a window.
struct Request
{
    const CommandMode *mode = nullptr; ///< nullptr: open a window
    QString fileToOpen;                ///< for a window: the arguments joined by single blanks
    QStringList operands;              ///< what is left after the mode's options are taken out
    QStringList switches;              ///< the mode's options without a value that were given
    QHash<QString, QString> values;    ///< the mode's options with a value that were given
    QStringList withoutValue;          ///< options with a value that stand last, without one
    QString error;                     ///< the arguments cannot run: the reason

    /// Whether the option without a value `name` was given.
    bool flag(const QString &name) const { return switches.contains(name); }
    /// The value given to the option `name`, or `otherwise` when it was not given.
    QString value(const QString &name, const QString &otherwise = QString()) const
    {
        return values.value(name, otherwise);
    }
    /// Whether the option `name` stands last with its value missing.
    bool lacksValue(const QString &name) const { return withoutValue.contains(name); }
};

/// Interprets the arguments after the program name.
Request parse(const QStringList &arguments);

/// Runs a request of a mode, or tells why its arguments cannot run (64); returns the process
/// exit code.
int run(const Request &request, QTextStream &out, QTextStream &err);

/// Reads IN and writes OUT in the current format; OUT "-" is standard output, and a device or
/// a pipe is written straight into. 0 on success; 2 when IN was rejected or could not be read
/// (OUT is not created); 1 when OUT could not be written.
int resave(const QString &in, const QString &out, QTextStream &err);

/// Reads IN and writes its comments to OUT as the exported text file. Exit codes as for resave.
int exportText(const QString &in, const QString &out, QTextStream &err);

/// Composes every student of each IN, in the order given, with a layout scheme of the program
/// folder's scheme file (the first when `scheme` is empty) and writes one page per student to the
/// PDF file OUT. Exit codes as for resave; 2 also when the scheme is unknown, its paper size cannot
/// be printed on (LayoutScheme::paperSizeError) or an IN has no students. Every IN rejected is
/// named before the run ends. Needs a QGuiApplication (any platform plugin, offscreen included)
/// for the fonts.
int printPdf(const QStringList &ins, const QString &out, const QString &scheme, const QString &programFolder,
             QTextStream &err, const SheetOptions &sheets = {});

/// The layout scheme `scheme` of the program folder's scheme file (the first when empty), checked
/// for a paper it can print on; nullopt, with the reason written, when there is none.
std::optional<LayoutScheme> printScheme(const QString &programFolder, const QString &scheme, QTextStream &err);

/// Runs the class check on each IN and prints one finding a line, "name<TAB>kind<TAB>detail", in
/// roster order, name and detail escaped as escapeField does; with several IN each line starts
/// with its file, "IN: ". Comments are checked against their box in the scheme (the first when
/// `scheme` is empty; skipped, with a note, when the scheme file lists none). 0 when nothing was
/// found, 3 when something was, 2 when an IN was rejected or could not be read (it is named, and
/// the others are checked all the same), 64 for a scheme the file does not hold. Needs a
/// QGuiApplication for the fonts.
int check(const QStringList &ins, const QString &scheme, int repeatLimit, const QString &programFolder,
          QTextStream &out, QTextStream &err);

/// Reads the comment file IN for a headless action; false, with the reason written, when it was
/// rejected or could not be read.
bool readComments(const QString &in, CommentDocument &document, QTextStream &err);

/// Writes the bytes of a comment file to OUT ("-" is standard output); false, with the reason
/// written, when it could not be written or would be too large to be read again.
bool writeComments(const QString &out, const QByteArray &bytes, QTextStream &err);

/// A name or a text for one field of a line on a terminal: a backslash is doubled, TAB, LF and
/// CR become \t, \n and \r, and every other control character (ESC, DEL, the C1 controls, the
/// line and paragraph separators) becomes \xHH or \uHHHH, as does every invisible format
/// character (bidi overrides and isolates, zero-width characters, the BOM; \UHHHHHHHH past the
/// first plane) and a lone surrogate, so that nothing in it can move the cursor, change the
/// terminal, break the line or show it in another order than it holds.
QString escapeField(QStringView text);

/// Several fields escaped as escapeField does, joined by "、" for one message.
QString escapeFields(const QStringList &texts);

/// For the headless actions: leaves out Qt's notice that the session has no XDG_RUNTIME_DIR (as
/// under cron, ssh or a service), which says nothing about the action; Qt uses its own folder
/// instead all the same. Every other message goes on to where it went before.
void leaveOutSessionNotice();

/// Whether a request needs fonts, and so a QGuiApplication, to run.
bool needsFonts(const Request &request);

} // namespace CommandLine
