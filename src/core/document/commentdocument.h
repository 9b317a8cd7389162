#pragma once

#include "core/document/studentslot.h"
#include "core/platform/itemfont.h"

#include <array>

/// The in-memory comment file of one class: the teacher's signature, the fonts of the three
/// printed items and the 100 student slots. There is one per process, held by the Session, which
/// every change goes through.
class CommentDocument
{
public:
    static constexpr int MaxStudents = 100;
    static inline const QString DefaultSignature = QStringLiteral("****老师");

    QString TeacherSignature = DefaultSignature;
    ::ItemFonts ItemFonts{};

    /// Slot by its number, 1 to 100 (there is no slot 0).
    StudentSlot &slot(int number) { return m_slots.at(std::size_t(number - 1)); }
    const StudentSlot &slot(int number) const { return m_slots.at(std::size_t(number - 1)); }

    /// Number of roster students: the slots before the first empty name.
    int studentCount() const;

    /// Empties the name and the comment of every slot.
    void clearSlots();

    /// Every field back to its start-up value.
    void reset();

    friend bool operator==(const CommentDocument &, const CommentDocument &) = default;

private:
    std::array<StudentSlot, MaxStudents> m_slots{};
};
