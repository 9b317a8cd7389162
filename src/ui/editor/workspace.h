#pragma once

#include "core/document/documentlifecycle.h"

class DocumentLifecycle;
class QWidget;
class pyedit;
class pytools;
class stds;

/// The main window as the commands see it: the child windows that are open, and the few things
/// a command asks of the frame. Commands reach the windows only through this.
class Workspace : public EditorHost
{
public:
    /// The editor window's cards, or nullptr while no document is open.
    virtual pyedit *editor() const = 0;
    /// The student list window, or nullptr while it is closed.
    virtual stds *studentList() const = 0;
    /// The comment library window, or nullptr while it is closed.
    virtual pytools *library() const = 0;
    /// Opens the comment library window if it is closed; returns it.
    virtual pytools *openLibraryWindow() = 0;
    /// New, Open, Save and Close.
    virtual DocumentLifecycle &lifecycle() = 0;
    /// Selects student k in the list (when it is open) and moves the editor to that student.
    virtual void selectStudent(int k) = 0;
    /// The window the commands' dialogs belong to.
    virtual QWidget *dialogParent() = 0;
};
