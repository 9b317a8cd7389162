#pragma once

#include "core/platform/platform.h"
#include "core/printing/composition.h"
#include "core/printing/printtarget.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

/// One dialog the program showed, as the teacher would have seen it.
struct ShownDialog
{
    enum Kind { Message, Input, OpenFile, SaveFile, Font, Folder, Progress, ProgressClosed };
    Kind kind = Message;
    QString text; ///< message or prompt; the filter for file dialogs; a progress box's first text
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    QString defaultText = {}; ///< the input box's preset answer
    ItemFont font = {};       ///< the font chooser's preset
    QString proposedPath = {}; ///< the path a save dialog opened on
    QStringList choices = {};  ///< the buttons of a question with buttons of its own
};

/// A printer that keeps every document it is handed instead of printing it.
class RecordingPrinter : public PrintTarget
{
public:
    struct Document
    {
        QString title;
        qint64 pageWidth = 0; ///< the page size in force when the document began
        qint64 pageHeight = 0;
        int setting = -1; ///< the last applySetting value before it began (-1: none)
        int copies = 1;   ///< the copies the printer was to make of it
        QList<ComposedPage> pages;
        QList<QRectF> places; ///< with several students a sheet: where each page went
        int sheets = 0;       ///< sheets begun by a page placed first on it
        int cutLines = 0;     ///< cut lines drawn

        /// The texts of the items of every page, in order.
        QStringList texts() const;
    };

    QList<Document> documents;                     ///< every ended document, in order
    QList<QPair<qint64, qint64>> pageSizeRequests; ///< every setPageSize call
    QList<int> settings;                           ///< every applySetting value
    int abandoned = 0;                             ///< documents dropped by abandon()
    QStringList problems;                          ///< calls out of order

    // Failure switches.
    bool refusePageSize = false;
    int failBeginAt = 0;   ///< the nth beginDocument (from 1) fails; 0: none does
    int failEndAt = 0;     ///< the nth endDocument fails
    qint64 takenWidth = 0; ///< when non-zero, the page size the printer takes instead
    qint64 takenHeight = 0;
    QString failure = QStringLiteral("打印机出错了");

    bool setPageSize(qint64 widthTwips, qint64 heightTwips) override;
    qint64 pageWidth() const override { return m_width; }
    qint64 pageHeight() const override { return m_height; }
    void applySetting(int value) override;
    void setCopies(int copies) override { m_copies = copies; }
    bool beginDocument(const QString &title) override;
    bool newPage() override;
    void printPage(const ComposedPage &page) override;
    void printPageAt(const ComposedPage &page, const QRectF &place, double scale, bool firstOnSheet) override;
    void printCutLines(const QList<QLineF> &lines) override;
    bool endDocument() override;
    void abandon() override;
    QString error() const override { return m_error; }

private:
    qint64 m_width = 0;
    qint64 m_height = 0;
    int m_begins = 0;
    int m_ends = 0;
    int m_copies = 1;
    qsizetype m_pagesBegun = 0;
    bool m_open = false;
    Document m_current;
    QString m_error;
};

/// The platform seam for tests: answers every dialog from a queue the test fills beforehand,
/// records what was shown, and notes every dialog the test did not expect.
class ScriptedPlatform : public Platform
{
public:
    // Scripting the teacher's answers, in the order the dialogs will come.
    void expectMessage(MsgAnswer answer = MsgAnswer::Ok);
    /// A question with buttons of its own, answered with the button at `index`.
    void expectChoice(int index);
    void expectInput(const QString &answer);
    void expectOpenFile(const QString &answer);
    void expectSaveFile(const QString &answer);
    void expectFolder(const QString &answer);
    void expectFont(const ItemFont &answer);
    /// A progress box; the teacher presses 停止 when it reaches `stopAt` files done (-1: never).
    /// Its closing is recorded as a ProgressClosed entry; any other box shown while it is open
    /// is a problem.
    void expectProgress(int stopAt = -1);

    /// Everything shown so far.
    QList<ShownDialog> shown;
    /// Problems: dialogs nobody expected, or expected of another kind.
    QStringList problems;

    /// True when every scripted answer was used and nothing unexpected was shown; otherwise
    /// *why says what went wrong.
    bool finished(QString *why = nullptr) const;

    /// Texts of the message boxes shown, in order.
    QStringList messageTexts() const;

    // The rest of the desktop, as the test sets it.
    bool printerAvailable = true;
    /// The printers offered while printerAvailable, the default first.
    QStringList printers{QStringLiteral("默认打印机"), QStringLiteral("打印店")};
    QStringList printersAsked;         ///< the name of every printer() call, "" for the default
    QStringList propertiesShown;       ///< every printer whose properties dialog was opened
    QList<PrintJobChoice> jobShown;    ///< the copies and range each properties dialog showed
    QString remembered;                ///< the remembered printer
    QString librarySettingValue;       ///< the library chosen in 评语库位置... ("" the own)
    QStringList recent;                ///< the remembered recent files
    QList<int> printerSettings;        ///< every value setPrinterSetting received
    RecordingPrinter recordingPrinter; ///< what printer() gives while printerAvailable
    QString clipboard;
    QStringList openedInViewer;
    bool viewerOpens = true; ///< what openWithDefaultViewer answers
    QStringList wordProcessorDocuments;
    bool wordProcessorStarts = true;
    /// What the properties dialog gives back; none: the teacher cancelled.
    std::optional<PrintJobChoice> propertiesAnswer;
    /// Called with every dialog as it is shown, to look at the windows behind it.
    std::function<void(const ShownDialog &)> onShown;
    QStringList registeredFolders; ///< every registerCommentFileType call's program folder

    MsgAnswer messageBox(const QString &text, const QString &title, MsgIcon icon,
                         MsgButtons buttons) override;
    int choose(const QString &text, const QString &title, const QStringList &buttons) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter, const QString &proposedPath = QString()) override;
    QString chooseFolder(const QString &start) override;
    ItemFont chooseFont(const ItemFont &preset) override;
    std::unique_ptr<ProgressWindow> openProgress(const QString &title, const QString &text,
                                                 int total) override;
    QString clipboardText() override;
    void setClipboardText(const QString &text) override;
    bool openWithDefaultViewer(const QString &path) override;
    Result<void> startWordProcessor(const QString &documentPath) override;
    bool printerInstalled() override;
    void setPrinterSetting(int value) override;
    QStringList printerNames() override { return printerAvailable ? printers : QStringList(); }
    QString defaultPrinterName() override { return printerAvailable ? printers.value(0) : QString(); }
    PrintTarget *printer(const QString &name = QString()) override;
    std::optional<PrintJobChoice> printerProperties(const QString &name, const PrintJobChoice &shown) override
    {
        propertiesShown << name;
        jobShown << shown;
        return propertiesAnswer;
    }
    QString librarySetting() override { return librarySettingValue; }
    void setLibrarySetting(const QString &path) override { librarySettingValue = path; }
    QString rememberedPrinter() override { return remembered; }
    QStringList recentFiles() override { return recent; }
    void setRecentFiles(const QStringList &paths) override { recent = paths; }
    void rememberPrinter(const QString &name) override { remembered = name; }
    void registerCommentFileType(const QString &programFolder) override;

private:
    struct Answer
    {
        ShownDialog::Kind kind;
        QVariant value;
    };
    QVariant take(const ShownDialog &dialog);

    QList<Answer> m_answers;
    bool m_progressOpen = false;

    friend class ScriptedProgressWindow;
};

/// Fails the current test when the platform saw something unexpected or has answers left.
#define QHSY_VERIFY_DIALOGS(platform)                                                                        \
    do {                                                                                                     \
        QString why_;                                                                                        \
        QVERIFY2((platform).finished(&why_), qPrintable(why_));                                              \
    } while (false)
