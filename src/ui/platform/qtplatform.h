#pragma once

#include "core/platform/platform.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>

class QPrinter;
class QtPrintTarget;
class QWidget;

/// The platform seam on the real desktop: Qt's dialogs, clipboard, desktop services, CUPS
/// printers through QPrinter, and QProcess for other programs.
class QtPlatform : public Platform
{
public:
    QtPlatform();
    ~QtPlatform() override;

    int choose(const QString &text, const QString &title, const QStringList &buttons) override;
    MsgAnswer messageBox(const QString &text, const QString &title, MsgIcon icon,
                         MsgButtons buttons) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter, const QString &proposedPath = QString()) override;
    QString chooseFolder(const QString &start) override;
    std::unique_ptr<ProgressWindow> openProgress(const QString &title, const QString &text,
                                                 int total) override;
    ItemFont chooseFont(const ItemFont &preset) override;
    QString clipboardText() override;
    void setClipboardText(const QString &text) override;
    bool openWithDefaultViewer(const QString &path) override;
    Result<void> startWordProcessor(const QString &documentPath) override;
    bool printerInstalled() override;
    void setPrinterSetting(int value) override;
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    /// A printer as it was when first asked for; it stays the same object after.
    PrintTarget *printer(const QString &name = QString()) override;
    /// Qt's print dialog on the printer, for its paper, two-sided and tray settings. Qt cannot
    /// hide the dialog's copies (nor, with CUPS, its range): they show the print window's own.
    std::optional<PrintJobChoice> printerProperties(const QString &name,
                                                    const PrintJobChoice &shown) override;
    /// Kept in the program's settings file ($XDG_CONFIG_HOME/qhsy/qhsy.conf).
    QString librarySetting() override;
    void setLibrarySetting(const QString &path) override;
    QString rememberedPrinter() override;
    QStringList recentFiles() override;
    void setRecentFiles(const QStringList &paths) override;
    /// Where the open and save dialogs start: the folder of the file chosen last, at first the
    /// user's documents folder; never a folder under /proc, /sys or /dev.
    static QString dialogFolder();
    void rememberPrinter(const QString &name) override;
    void registerCommentFileType(const QString &programFolder) override;

    /// Loads Qt's own Chinese translations, so that standard buttons and dialogs speak Chinese.
    static void installChineseTranslations();

private:
    static QWidget *dialogParent();

    std::unique_ptr<QPrinter> m_printer; ///< the default printer once it has been found
    std::map<QString, std::unique_ptr<QtPrintTarget>> m_printTargets; ///< what print runs print on, by name
    std::optional<int> m_printerSetting;                              ///< the last setPrinterSetting value
};
