#include "core/app/startupsequence.h"

#include "core/document/session.h"
#include "core/platform/fileexists.h"
#include "core/platform/platform.h"

const QString StartupSequence::NoPrinterMessage =
    QStringLiteral("您的系统中没有安装打印机，您将无法使用打印相关功能！") + u'\r' +
    QStringLiteral("如果需要安装打印机，请打开“控制面板”，找到相关图标，然后按照提示进行！") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral("您无需拥有一个实际的打印机，只需要安装任意一个打印机驱动即可！");

StartupSequence::StartupSequence(Session &session, Platform &platform, QString programFolder,
                                 std::function<void(const QString &)> setStatus)
    : m_session(session)
    , m_platform(platform)
    , m_programFolder(std::move(programFolder))
    , m_setStatus(std::move(setStatus))
{}

bool StartupSequence::run()
{
    setStatus(ConfiguringText);
    m_session.reset(m_programFolder);

    if (m_platform.printerInstalled())
        m_platform.setPrinterSetting(2);
    else
        m_platform.messageBox(NoPrinterMessage, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    appendStatus(SuccessText);

    setStatus(CheckingFilesText);
    bool allPresent = true;
    for (const QString &file : RequiredFiles)
        allPresent = FileExists(m_session.ProgramFolder() + file) && allPresent;
    if (!allPresent) {
        m_platform.messageBox(MissingFilesMessage, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    // Every start, so that a moved program folder is followed by the file manager too.
    m_platform.registerCommentFileType(m_session.ProgramFolder());
    appendStatus(SuccessText);

    setStatus(OpeningMainText);
    return true;
}

void StartupSequence::setStatus(const QString &text)
{
    m_status = text;
    if (m_setStatus)
        m_setStatus(m_status);
}

void StartupSequence::appendStatus(const QString &text)
{
    setStatus(m_status + text);
}
