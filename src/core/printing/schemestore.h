#pragma once

#include "core/platform/result.h"
#include "core/printing/layoutscheme.h"

#include <QString>
#include <QStringList>

#include <optional>

class Session;

/// The program's print schemes: the one place that reads and writes the scheme file
/// (printsetup.vxd, see LayoutSchemeFile) and that turns the session's chosen scheme into its
/// values. The print window, the sample pages, the PDF export, the per-student files, the fit
/// check and the drafts all ask here, so they all use the scheme the teacher chose.
class SchemeStore
{
public:
    /// The schemes in the scheme file at `path`, with no scheme chosen (the first one serves).
    explicit SchemeStore(QString path);
    /// The schemes of the session's program files, with the session's chosen scheme.
    explicit SchemeStore(const Session &session);

    /// Path of the scheme file.
    const QString &path() const { return m_path; }

    /// The names of the schemes, in file order.
    Result<QStringList> names() const;
    /// The scheme named `name`.
    Result<LayoutScheme> load(const QString &name) const;
    /// The scheme named `name`, or the first one when `name` is empty; a name the file does not
    /// list fails as FailureKind::NotFound (the command line's --scheme).
    Result<LayoutScheme> loadOrFirst(const QString &name) const;
    /// The chosen scheme: the one named as chosen, else (none chosen, or gone since) the first.
    /// Fails as FailureKind::Empty when the file lists none, as its reading fails otherwise.
    Result<LayoutScheme> active() const;
    /// active() when it can be had; nullopt otherwise (nothing to measure with).
    std::optional<LayoutScheme> activeOrNone() const;

    /// Adds a scheme named `name` (trimmed) at the end of the file.
    Result<void> append(const QString &name, const LayoutScheme &values);
    /// Writes the values into the scheme named `name`.
    Result<void> save(const QString &name, const LayoutScheme &values);

private:
    QString m_path;
    QString m_chosen;
};
