#include "core/platform/programfiles.h"

ProgramFiles::ProgramFiles(QString folder)
    : m_folder(std::move(folder))
{}

QString ProgramFiles::library() const
{
    return m_folder + LibraryName;
}

QString ProgramFiles::schemes() const
{
    return m_folder + SchemesName;
}

QString ProgramFiles::templateFile() const
{
    return m_folder + TemplateName;
}

QString ProgramFiles::scratch() const
{
    return m_folder + ScratchName;
}

QString ProgramFiles::help() const
{
    return m_folder + QStringLiteral("help/indexhelp.htm");
}

QString ProgramFiles::programIcon() const
{
    return m_folder + QStringLiteral("qhsy.png");
}

QString ProgramFiles::commentFileIcon(const QString &format) const
{
    return m_folder + QStringLiteral("r.") + format;
}

QString ProgramFiles::toolbarIcon(const QString &key) const
{
    return m_folder + QStringLiteral("toolbar/%1.png").arg(key);
}
