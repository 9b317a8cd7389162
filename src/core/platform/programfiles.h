#pragma once

#include <QString>
#include <QStringList>

/// The program's own files and where each one lives: the comment library, the print schemes,
/// the template every new class is made from, the help, the icons and the scratch file. Each
/// is named here once; nothing else puts a file name after the program folder.
///
/// Everything lives in the program folder today. The comment library may later live elsewhere
/// (a grade's shared folder, chosen in the settings): library() is the one place that says
/// where it is.
class ProgramFiles
{
public:
    static inline const QString LibraryName = QStringLiteral("pyk.vxd");
    static inline const QString SchemesName = QStringLiteral("printsetup.vxd");
    static inline const QString TemplateName = QStringLiteral("normal.pyn");
    static inline const QString ScratchName = QStringLiteral("temp.vxd");
    /// The data files that must stand in the program folder for the program to start.
    static inline const QStringList Required = {LibraryName, SchemesName, TemplateName};

    ProgramFiles() = default;
    /// The files of the program folder `folder`, which ends with "/".
    explicit ProgramFiles(QString folder);

    /// The program folder, ending with "/".
    const QString &folder() const { return m_folder; }

    /// The comment library (评语库).
    QString library() const;
    /// The print schemes.
    QString schemes() const;
    /// The template every new class is made from.
    QString templateFile() const;
    /// The scratch file typed lists are split into lines through.
    QString scratch() const;
    /// The help's first page.
    QString help() const;
    /// The program's icon.
    QString programIcon() const;
    /// The comment-file icon, as "png" or "svg".
    QString commentFileIcon(const QString &format) const;
    /// The icon of toolbar button `key` (e.g. "open").
    QString toolbarIcon(const QString &key) const;

private:
    QString m_folder;
};
