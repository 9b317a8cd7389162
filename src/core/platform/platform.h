#pragma once

#include "core/platform/itemfont.h"
#include "core/platform/progresswindow.h"
#include "core/platform/result.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class PrintTarget;

/// The copies and the students of a print run as a printer's own dialog shows them: its pages
/// are the students' list positions, one page a student.
struct PrintJobChoice
{
    enum class Range { All, Current, FromTo };
    Range range = Range::All;
    int from = 1; ///< FromTo: the first and the last position
    int to = 1;
    int last = 1; ///< the last position the dialog offers
    int copies = 1;
};

/// Icon of a message box.
enum class MsgIcon { None, Information, Exclamation, Critical, Question };

/// Buttons of a message box.
enum class MsgButtons { Ok, YesNo, YesNoCancel };

/// The button the teacher pressed (closing the box counts as Cancel, or as No / Ok where the
/// box has no Cancel button).
enum class MsgAnswer { Ok, Yes, No, Cancel };

/// Everything the program asks of the desktop. The program talks to the desktop only through
/// this interface, so that tests can answer for the teacher and check what would have been shown.
class Platform
{
public:
    virtual ~Platform() = default;

    /// Modal message box.
    virtual MsgAnswer messageBox(const QString &text, const QString &title, MsgIcon icon,
                                 MsgButtons buttons) = 0;

    /// Modal question with buttons of its own (texts in order, the first the default, the last
    /// the one Esc or closing the box presses); the index of the button pressed.
    virtual int choose(const QString &text, const QString &title, const QStringList &buttons) = 0;
    /// Modal input box; returns "" on Cancel.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;

    /// Open-file dialog; the filter is given as "评语文件|*.py|所有文件|*.*". "" when cancelled.
    virtual QString openFileName(const QString &filter) = 0;

    /// Save-file dialog with the same filter form; "" when cancelled. Adds no extension and
    /// asks no question before an existing file is replaced. It opens on proposedPath (a folder
    /// and file name, see SaveLocation) when one is given, else in the folder used last.
    virtual QString saveFileName(const QString &filter, const QString &proposedPath = QString()) = 0;

    /// Folder chooser opening on `start` (or the folder used last when `start` is ""); "" when
    /// cancelled.
    virtual QString chooseFolder(const QString &start) = 0;

    /// Opens a window-modal progress box titled `title` with a bar of `total` steps, `text` and a
    /// 停止 button, over the active window; it closes when the returned box goes. Ask before it
    /// opens and tell after it has closed: no other box is shown while it is open.
    virtual std::unique_ptr<ProgressWindow> openProgress(const QString &title, const QString &text,
                                                         int total) = 0;

    /// Font chooser preset with the given font; returns the preset on Cancel.
    virtual ItemFont chooseFont(const ItemFont &preset) = 0;

    /// Plain text on the clipboard.
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString &text) = 0;

    /// Opens a file with the desktop's default program for it; false when that failed.
    virtual bool openWithDefaultViewer(const QString &path) = 0;

    /// Opens a document in the word processor, or says why it cannot be started.
    virtual Result<void> startWordProcessor(const QString &documentPath) = 0;

    /// True when a default printer exists and its one integer setting can be read and written
    /// back unchanged.
    virtual bool printerInstalled() = 0;

    /// Sets the default printer's integer setting (the colour mode: 1 monochrome, 2 colour).
    virtual void setPrinterSetting(int value) = 0;

    /// The printers the system offers (its CUPS destinations), the default first; empty when
    /// there is none.
    virtual QStringList printerNames() = 0;
    /// The system's default printer; empty when there is none.
    virtual QString defaultPrinterName() = 0;

    /// The printer named `name` (the default when empty) for a print run; nullptr when there
    /// is no such printer. The same name gives the same object, with the properties chosen.
    virtual PrintTarget *printer(const QString &name = QString()) = 0;

    /// Opens the system's print-properties dialog for a printer (paper, two-sided printing,
    /// tray); what the teacher chooses there applies to the runs that follow. The dialog's copies
    /// and range start as `shown` and come back as chosen, for the print window to keep; the
    /// printer itself keeps neither. Nothing when the teacher cancelled.
    virtual std::optional<PrintJobChoice> printerProperties(const QString &name,
                                                            const PrintJobChoice &shown) = 0;

    /// The comment files opened or saved last, newest first, remembered for the next run.
    virtual QStringList recentFiles() = 0;
    virtual void setRecentFiles(const QStringList &paths) = 0;

    /// The comment library chosen in 评语库位置..., remembered for the next run; empty for the
    /// teacher's own. Kept with the program's other settings.
    virtual QString librarySetting() { return QString(); }
    virtual void setLibrarySetting(const QString &path) { Q_UNUSED(path); }

    /// The printer chosen last, remembered for the next run; empty when none was chosen.
    virtual QString rememberedPrinter() = 0;
    virtual void rememberPrinter(const QString &name) = 0;

    /// Makes comment files open with the running program from the file manager; the program
    /// folder holds its icon. Anything that fails is left as it was, without a message.
    virtual void registerCommentFileType(const QString &programFolder) = 0;

    /// The standard title of information, warning and error messages.
    static inline const QString NoticeTitle = QStringLiteral("系统提示");
    /// The standard title of questions.
    static inline const QString QuestionTitle = QStringLiteral("系统询问");
};
