#pragma once

#include <QString>

/// One student of the class: a one-line name (empty = the slot is free) and a comment of any
/// number of lines joined by CR LF.
struct StudentSlot
{
    QString name;
    QString comment;

    friend bool operator==(const StudentSlot &, const StudentSlot &) = default;
};
