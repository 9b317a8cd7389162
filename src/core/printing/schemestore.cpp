#include "core/printing/schemestore.h"

#include "core/document/session.h"
#include "core/printing/layoutschemefile.h"

SchemeStore::SchemeStore(QString path)
    : m_path(std::move(path))
{}

SchemeStore::SchemeStore(const Session &session)
    : m_path(session.Files().schemes())
    , m_chosen(session.activeScheme())
{}

Result<QStringList> SchemeStore::names() const
{
    return LayoutSchemeFile(m_path).listSchemes();
}

Result<LayoutScheme> SchemeStore::load(const QString &name) const
{
    return LayoutSchemeFile(m_path).loadScheme(name);
}

Result<LayoutScheme> SchemeStore::loadOrFirst(const QString &name) const
{
    return LayoutSchemeFile(m_path).loadOrFirst(name);
}

Result<LayoutScheme> SchemeStore::active() const
{
    const LayoutSchemeFile file(m_path);
    Result<LayoutScheme> scheme = file.loadOrFirst(m_chosen);
    if (scheme.kind() == FailureKind::NotFound) // renamed or removed since: the first one then
        scheme = file.loadOrFirst(QString());
    return scheme;
}

std::optional<LayoutScheme> SchemeStore::activeOrNone() const
{
    Result<LayoutScheme> scheme = active();
    return scheme ? std::optional<LayoutScheme>(std::move(scheme).value()) : std::nullopt;
}

Result<void> SchemeStore::append(const QString &name, const LayoutScheme &values)
{
    return LayoutSchemeFile(m_path).appendScheme(name, values);
}

Result<void> SchemeStore::save(const QString &name, const LayoutScheme &values)
{
    return LayoutSchemeFile(m_path).saveScheme(name, values);
}
