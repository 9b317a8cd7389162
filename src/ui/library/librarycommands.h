#pragma once

#include "core/library/commentlibrary.h"

#include <QObject>
#include <QPointer>

class Session;
class Platform;
class piliangdaoru;
class pyedit;
class pytools;
class Workspace;

/// The commands that change the comment library: add, rename and delete a category; add, edit
/// and delete a stock comment; add the editor's selected text; the batch import. They are
/// reached from the 评语 menu (which opens the library window first when it is closed) and from
/// the library window's pop-up menu (which acts on the list last pressed in). Adding and
/// editing go through the window's editing panel; each change is followed by a reload of the
/// window that keeps the selection.
class LibraryCommands : public QObject
{
    Q_OBJECT

public:
    /// libraryWindow gives the library window, opening it when it is closed; openWindow gives
    /// it only when it is open (nullptr otherwise); editor gives the editor or nullptr.
    LibraryCommands(Session &session, Platform &platform, Workspace &workspace, QObject *parent = nullptr);

    // The 评语 menu.
    void addlb();
    void dellb();
    void editlb();
    void addpy();
    void delpy();
    void editpy();
    void setop();
    void pldr();
    /// 评语库位置...: the teacher's own library or any file (a grade's, in a shared folder).
    void chooseLocation();
    /// 合并评语库...: adds another library file's comments this one lacks, and says how many.
    void mergeLibrary();

    // The pop-up menu: each acts on the list the mouse was last pressed in.
    void kpxiugai();
    void kpshanchu();
    void kptianjia();

    /// "保存" of the editing panel: carries out the panel's change and reloads the window.
    void save(pytools *window);

    /// The open batch-import dialog, or nullptr.
    piliangdaoru *batchImportDialog() const;

private:
    void editCategory(pytools *window);
    void deleteCategory(pytools *window);
    void editComment(pytools *window);
    void deleteComment(pytools *window);
    /// The selected stock comment as the teacher sees it: its category, rating and text.
    static CommentLibrary::Entry selectedEntry(const pytools *window);
    void reloadKeepingSelection(pytools *window, int category, int comment);

    Session &m_session;
    Platform &m_platform;
    Workspace &m_workspace;
    QPointer<piliangdaoru> m_batchImport;
};
