#pragma once

#include "core/printing/composition.h"

/// The first item of a composed page with the given role, or none.
inline const PageItem *firstOf(const ComposedPage &page, PageItemRole role)
{
    for (const PageItem &item : page.items) {
        if (item.role == role)
            return &item;
    }
    return nullptr;
}
