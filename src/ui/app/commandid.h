#pragma once

#include <cstddef>

/// The main window's commands. Each has one QAction, created once and shared by the menu bar,
/// the pop-up menus and the toolbar; the main window hands it out by this id.
enum class CommandId {
    // 文件
    New,
    Open,
    Save,
    SaveAs,
    Close,
    OpenInWord,
    ExportText,
    ExportWord,
    ExportPdf,
    ExportEach,
    PrintSetup,
    Preview,
    Print,
    Recent1,
    Recent2,
    Recent3,
    Recent4,
    Exit,
    // 编辑
    Cut,
    Copy,
    Paste,
    Undo,
    Redo,
    Find,
    DeleteStudent,
    DeleteAllStudents,
    RenameStudent,
    DefaultStudents,
    NextStudent,
    PreviousStudent,
    // the student pop-up's own
    StudentFont,
    AddStudent,
    // 评语
    AddCategory,
    DeleteCategory,
    EditCategory,
    AddComment,
    DeleteComment,
    EditComment,
    BatchImport,
    AddSelection,
    GenerateDrafts,
    LibraryLocation,
    MergeLibrary,
    // the library pop-up's own, acting on the list pressed last
    PopupEdit,
    PopupDelete,
    PopupAdd,
    // 查看
    StudentList,
    Library,
    NextPane,
    // 工具
    ImportNames,
    Signature,
    Progress,
    CheckClass,
    // 帮助
    Help,
    About,
};

inline constexpr std::size_t CommandCount = std::size_t(CommandId::About) + 1;
