#pragma once

#include "core/document/session.h"

#include <functional>

/// Sets up a test's document in place, as a file read would leave it: the edit is applied to a
/// copy that replaces the session's document, so the modified flag stays as it was.
inline void editDocument(Session &session, const std::function<void(CommentDocument &)> &edit)
{
    CommentDocument document = session.Document();
    edit(document);
    session.replaceDocument(document);
}
