#include "core/app/startupsequence.h"

#include "core/app/messages.h"
#include "core/document/session.h"
#include "core/platform/fileexists.h"
#include "core/platform/platform.h"
#include "core/platform/programfiles.h"

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

    // Without a printer the teacher still previews and makes PDF files; 打印 says what is
    // missing when it is pressed.
    if (m_platform.printerInstalled())
        m_platform.setPrinterSetting(2);
    appendStatus(SuccessText);

    setStatus(CheckingFilesText);
    bool allPresent = true;
    for (const QString &file : ProgramFiles::Required)
        allPresent = FileExists(m_session.ProgramFolder() + file) && allPresent;
    if (!allPresent) {
        m_platform.messageBox(AppMessages::MissingFilesMessage, Platform::NoticeTitle, MsgIcon::Critical,
                              MsgButtons::Ok);
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
