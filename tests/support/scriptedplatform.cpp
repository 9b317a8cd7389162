#include "scriptedplatform.h"

namespace {

const char *kindName(ShownDialog::Kind kind)
{
    switch (kind) {
    case ShownDialog::Message:
        return "message box";
    case ShownDialog::Input:
        return "input box";
    case ShownDialog::OpenFile:
        return "open dialog";
    case ShownDialog::SaveFile:
        return "save dialog";
    case ShownDialog::Font:
        return "font chooser";
    case ShownDialog::Folder:
        return "folder chooser";
    case ShownDialog::Progress:
        return "progress box";
    case ShownDialog::ProgressClosed:
        return "progress box closing";
    }
    return "dialog";
}

} // namespace

/// The progress box a test sees: it presses 停止 where the test said, and notes its closing.
class ScriptedProgressWindow : public ProgressWindow
{
public:
    ScriptedProgressWindow(ScriptedPlatform &platform, const ShownDialog &opened, int stopAt)
        : m_platform(platform)
        , m_opened(opened)
        , m_stopAt(stopAt)
    {}
    ~ScriptedProgressWindow() override
    {
        m_platform.m_progressOpen = false;
        m_platform.shown.append({ShownDialog::ProgressClosed, m_opened.text, m_opened.title});
    }
    bool advance(int done, const QString &) override { return m_stopAt >= 0 && done >= m_stopAt; }

private:
    ScriptedPlatform &m_platform;
    ShownDialog m_opened;
    int m_stopAt;
};

void ScriptedPlatform::expectMessage(MsgAnswer answer)
{
    m_answers.append({ShownDialog::Message, QVariant::fromValue(int(answer))});
}

void ScriptedPlatform::expectChoice(int index)
{
    m_answers.append({ShownDialog::Message, QVariant::fromValue(index)});
}

void ScriptedPlatform::expectInput(const QString &answer)
{
    m_answers.append({ShownDialog::Input, answer});
}

void ScriptedPlatform::expectOpenFile(const QString &answer)
{
    m_answers.append({ShownDialog::OpenFile, answer});
}

void ScriptedPlatform::expectFolder(const QString &answer)
{
    m_answers.append({ShownDialog::Folder, answer});
}

void ScriptedPlatform::expectSaveFile(const QString &answer)
{
    m_answers.append({ShownDialog::SaveFile, answer});
}

void ScriptedPlatform::expectProgress(int stopAt)
{
    m_answers.append({ShownDialog::Progress, stopAt});
}

void ScriptedPlatform::expectFont(const ItemFont &answer)
{
    m_answers.append(
        {ShownDialog::Font, QVariantList{answer.fontName, answer.fontSize, answer.bold, answer.italic}});
}

bool ScriptedPlatform::finished(QString *why) const
{
    QStringList reasons = problems;
    for (const Answer &answer : m_answers)
        reasons << QStringLiteral("expected %1 never shown").arg(QLatin1String(kindName(answer.kind)));
    if (why)
        *why = reasons.join(QStringLiteral("; "));
    return reasons.isEmpty();
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const ShownDialog &dialog : shown) {
        if (dialog.kind == ShownDialog::Message)
            texts << dialog.text;
    }
    return texts;
}

QVariant ScriptedPlatform::take(const ShownDialog &dialog)
{
    // Two modal boxes at once: the one behind takes no clicks, the one in front hides it.
    if (m_progressOpen)
        problems << QStringLiteral("%1 shown over the progress box: \"%2\"")
                        .arg(QLatin1String(kindName(dialog.kind)), dialog.text);
    shown.append(dialog);
    if (onShown)
        onShown(dialog);
    if (m_answers.isEmpty() || m_answers.first().kind != dialog.kind) {
        problems << QStringLiteral("unexpected %1: \"%2\" (title \"%3\")")
                        .arg(QLatin1String(kindName(dialog.kind)), dialog.text, dialog.title);
        return {};
    }
    return m_answers.takeFirst().value;
}

MsgAnswer ScriptedPlatform::messageBox(const QString &text, const QString &title, MsgIcon icon,
                                       MsgButtons buttons)
{
    const QVariant answer = take({ShownDialog::Message, text, title, icon, buttons});
    if (!answer.isValid())
        return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
               : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                              : MsgAnswer::Cancel;
    return MsgAnswer(answer.toInt());
}

int ScriptedPlatform::choose(const QString &text, const QString &title, const QStringList &buttons)
{
    ShownDialog dialog{ShownDialog::Message, text, title, MsgIcon::Question};
    dialog.choices = buttons;
    const QVariant answer = take(dialog);
    return answer.isValid() ? answer.toInt() : int(buttons.size()) - 1;
}

QString ScriptedPlatform::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    ShownDialog dialog{ShownDialog::Input, prompt, title};
    dialog.defaultText = defaultText;
    return take(dialog).toString();
}

QString ScriptedPlatform::openFileName(const QString &filter)
{
    return take({ShownDialog::OpenFile, filter, {}}).toString();
}

QString ScriptedPlatform::saveFileName(const QString &filter, const QString &proposedPath)
{
    ShownDialog dialog{ShownDialog::SaveFile, filter, {}};
    dialog.proposedPath = proposedPath;
    return take(dialog).toString();
}

QString ScriptedPlatform::chooseFolder(const QString &start)
{
    ShownDialog dialog{ShownDialog::Folder, {}, {}};
    dialog.proposedPath = start;
    return take(dialog).toString();
}

ItemFont ScriptedPlatform::chooseFont(const ItemFont &preset)
{
    ShownDialog dialog{ShownDialog::Font, preset.fontName, {}};
    dialog.font = preset;
    const QVariant answer = take(dialog);
    if (!answer.isValid())
        return preset;
    const QVariantList values = answer.toList();
    return {values[0].toString(), values[1].toDouble(), values[2].toBool(), values[3].toBool()};
}

std::unique_ptr<ProgressWindow> ScriptedPlatform::openProgress(const QString &title, const QString &text, int)
{
    const ShownDialog dialog{ShownDialog::Progress, text, title};
    const QVariant answer = take(dialog);
    m_progressOpen = true;
    return std::make_unique<ScriptedProgressWindow>(*this, dialog, answer.isValid() ? answer.toInt() : -1);
}

QString ScriptedPlatform::clipboardText()
{
    return clipboard;
}

void ScriptedPlatform::setClipboardText(const QString &text)
{
    clipboard = text;
}

bool ScriptedPlatform::openWithDefaultViewer(const QString &path)
{
    openedInViewer << path;
    return viewerOpens;
}

Result<void> ScriptedPlatform::startWordProcessor(const QString &documentPath)
{
    wordProcessorDocuments << documentPath;
    if (!wordProcessorStarts)
        return Failure{QStringLiteral("not installed")};
    return done();
}

bool ScriptedPlatform::printerInstalled()
{
    return printerAvailable;
}

void ScriptedPlatform::setPrinterSetting(int value)
{
    printerSettings << value;
}

PrintTarget *ScriptedPlatform::printer(const QString &name)
{
    printersAsked << name;
    if (!printerAvailable || !(name.isEmpty() || printers.contains(name)))
        return nullptr;
    return &recordingPrinter;
}

void ScriptedPlatform::registerCommentFileType(const QString &programFolder)
{
    registeredFolders << programFolder;
}

QStringList RecordingPrinter::Document::texts() const
{
    QStringList result;
    for (const ComposedPage &page : pages) {
        for (const PageItem &item : page.items)
            result << item.text;
    }
    return result;
}

bool RecordingPrinter::setPageSize(qint64 widthTwips, qint64 heightTwips)
{
    pageSizeRequests.append({widthTwips, heightTwips});
    if (refusePageSize) {
        m_error = failure;
        return false;
    }
    m_width = takenWidth ? takenWidth : widthTwips;
    m_height = takenHeight ? takenHeight : heightTwips;
    return true;
}

void RecordingPrinter::applySetting(int value)
{
    settings << value;
}

bool RecordingPrinter::beginDocument(const QString &title)
{
    if (m_open)
        problems << QStringLiteral("document \"%1\" began inside \"%2\"").arg(title, m_current.title);
    if (++m_begins == failBeginAt) {
        m_error = failure;
        return false;
    }
    m_current = {title, m_width, m_height, settings.isEmpty() ? -1 : settings.last(), m_copies, {}, {}};
    m_open = true;
    m_pagesBegun = 1;
    return true;
}

bool RecordingPrinter::newPage()
{
    if (!m_open)
        problems << QStringLiteral("new page outside a document");
    else if (m_current.pages.size() < m_pagesBegun)
        problems << QStringLiteral("new page after an empty one in \"%1\"").arg(m_current.title);
    ++m_pagesBegun;
    return true;
}

void RecordingPrinter::printPage(const ComposedPage &page)
{
    if (!m_open)
        problems << QStringLiteral("page printed outside a document");
    else if (m_current.pages.size() >= m_pagesBegun)
        problems << QStringLiteral("two pages drawn on one in \"%1\"").arg(m_current.title);
    m_current.pages.append(page);
}

void RecordingPrinter::printPageAt(const ComposedPage &page, const QRectF &place, double, bool firstOnSheet)
{
    if (!m_open)
        problems << QStringLiteral("page printed outside a document");
    else if (firstOnSheet && m_current.sheets >= m_pagesBegun)
        problems << QStringLiteral("two sheets drawn on one in \"%1\"").arg(m_current.title);
    if (firstOnSheet)
        ++m_current.sheets;
    m_current.pages.append(page);
    m_current.places.append(place);
}

void RecordingPrinter::printCutLines(const QList<QLineF> &lines)
{
    m_current.cutLines += int(lines.size());
}

bool RecordingPrinter::endDocument()
{
    if (!m_open)
        problems << QStringLiteral("document ended that never began");
    m_open = false;
    if (++m_ends == failEndAt) {
        m_error = failure;
        return false;
    }
    documents.append(m_current);
    return true;
}

void RecordingPrinter::abandon()
{
    if (m_open)
        ++abandoned;
    m_open = false;
}
