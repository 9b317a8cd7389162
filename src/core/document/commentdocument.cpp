#include "core/document/commentdocument.h"

int CommentDocument::studentCount() const
{
    int n = 0;
    while (n < MaxStudents && !m_slots[std::size_t(n)].name.isEmpty())
        ++n;
    return n;
}

void CommentDocument::clearSlots()
{
    m_slots.fill(StudentSlot{});
}

void CommentDocument::reset()
{
    TeacherSignature = DefaultSignature;
    ItemFonts = {};
    clearSlots();
}
