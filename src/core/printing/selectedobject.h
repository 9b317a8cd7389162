#pragma once

/// The page item the print window's item boxes edit.
enum class SelectedObject { None, StudentName, CommentText, Signature, Title, Date };
