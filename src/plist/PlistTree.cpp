#include "plist/PlistTree.h"

#include "plist/PlistChildCursor.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace {

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

// Sizes from which libplist 2.2 builds its lookup tables (more than 100 array items, more than 500 child
// nodes, keys included, in a dictionary). Smaller containers gain nothing from the placeholder.
constexpr uint32_t IndexedArraySize = 100;
constexpr uint32_t IndexedDictSize = 250;

void indexContainer(plist_t node)
{
    if (plist_get_node_type(node) == PLIST_ARRAY && plist_array_get_size(node) >= IndexedArraySize) {
        plist_array_append_item(node, plist_new_bool(0));
        plist_array_remove_item(node, plist_array_get_size(node) - 1);
    } else if (plist_get_node_type(node) == PLIST_DICT && plist_dict_get_size(node) >= IndexedDictSize) {
        // The placeholder key must not replace a real entry.
        QByteArray key("\x01placeholder");
        for (int n = 0; plist_dict_get_item(node, key.constData()); ++n)
            key = "\x01placeholder" + QByteArray::number(n);
        plist_dict_set_item(node, key.constData(), plist_new_bool(0));
        plist_dict_remove_item(node, key.constData());
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

void plistIndexLargeContainers(plist_t root)
{
    if (!isContainer(root))
        return;
    indexContainer(root);
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
            indexContainer(child);
            path.push_back(std::make_unique<PlistChildCursor>(child));
        }
    }
}
