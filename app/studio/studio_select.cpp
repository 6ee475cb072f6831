#include "app/studio/studio_select.h"

int selected_item(const studio_reading &r, const studio_selection &sel)
{
    return sel.any() ? find_item(r, sel.kind, sel.index) : -1;
}

std::vector<int> selected_primitives(const studio_reading &r, const studio_selection &sel)
{
    if (selected_item(r, sel) < 0)
        return {};
    if (sel.kind == OUT_PRIMITIVE)
        return {sel.index};
    if (sel.kind == OUT_GROUP) {
        const std::vector<csg_group> groups = csg_groups(r.sc);
        if (sel.index < (int)groups.size())
            return groups[sel.index].members;
    }
    return {};
}

bool same_items(const studio_reading &a, const studio_reading &b)
{
    if (a.outline.size() != b.outline.size())
        return false;
    for (size_t i = 0; i < a.outline.size(); i++) {
        const outline_item &x = a.outline[i], &y = b.outline[i];
        if (x.kind != y.kind || x.index != y.index || x.depth != y.depth || x.label != y.label)
            return false;
    }
    return true;
}
