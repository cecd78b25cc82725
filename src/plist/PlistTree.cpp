#include "plist/PlistTree.h"

#include "plist/PlistChildCursor.h"

#include <memory>
#include <vector>

namespace {

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

// Size from which libplist 2.2 builds the lookup table of an array (more than 100 items). Smaller arrays
// gain nothing from the placeholder.
constexpr uint32_t IndexedArraySize = 100;

void indexArray(plist_t node)
{
    if (plist_get_node_type(node) == PLIST_ARRAY && plist_array_get_size(node) >= IndexedArraySize) {
        plist_array_append_item(node, plist_new_bool(0));
        plist_array_remove_item(node, plist_array_get_size(node) - 1);
    }
}

} // namespace

int plistNodeDepth(plist_t node)
{
    int depth = 0;
    for (plist_t current = node; current; current = plist_get_parent(current))
        ++depth;
    return depth;
}

int plistSubtreeHeight(plist_t node, int limit)
{
    if (!node)
        return 0;
    if (!isContainer(node))
        return 1;
    if (limit < 1)
        return limit + 1;
    int height = 1;
    std::vector<std::unique_ptr<PlistChildCursor>> path;
    path.push_back(std::make_unique<PlistChildCursor>(node));
    while (!path.empty()) {
        plist_t child = path.back()->next();
        if (!child) {
            path.pop_back();
            continue;
        }
        const int childDepth = static_cast<int>(path.size()) + 1;
        if (childDepth > limit)
            return limit + 1;
        if (childDepth > height)
            height = childDepth;
        if (isContainer(child))
            path.push_back(std::make_unique<PlistChildCursor>(child));
    }
    return height;
}

qint64 plistSubtreeSize(plist_t node, qint64 limit)
{
    if (!node)
        return 0;
    qint64 size = 1;
    std::vector<std::unique_ptr<PlistChildCursor>> path;
    if (isContainer(node))
        path.push_back(std::make_unique<PlistChildCursor>(node));
    while (!path.empty() && size <= limit) {
        plist_t child = path.back()->next();
        if (!child) {
            path.pop_back();
            continue;
        }
        ++size;
        if (isContainer(child))
            path.push_back(std::make_unique<PlistChildCursor>(child));
    }
    return size > limit ? limit + 1 : size;
}

bool plistIsSelfOrAncestor(plist_t candidate, plist_t node)
{
    for (plist_t current = node; current; current = plist_get_parent(current)) {
        if (current == candidate)
            return true;
    }
    return false;
}

void plistIndexLargeArrays(plist_t root)
{
    if (!isContainer(root))
        return;
    indexArray(root);
    std::vector<std::unique_ptr<PlistChildCursor>> path;
    path.push_back(std::make_unique<PlistChildCursor>(root));
    while (!path.empty()) {
        plist_t child = path.back()->next();
        if (!child) {
            path.pop_back();
            continue;
        }
        if (isContainer(child)) {
            // Indexed before its cursor exists: the placeholder never shows up in a walk.
            indexArray(child);
            path.push_back(std::make_unique<PlistChildCursor>(child));
        }
    }
}
