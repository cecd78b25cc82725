#pragma once

#include <plist/plist.h>

#include <QtGlobal>

// Structural helpers over libplist trees. None of them recurses, so they are safe on trees of any depth.

// Nodes from the root of node's tree down to node, both included (a root has depth 1).
int plistNodeDepth(plist_t node);

// Nodes on the longest path from node down to a leaf, both included; limit + 1 as soon as the subtree is
// found to be deeper than limit.
int plistSubtreeHeight(plist_t node, int limit);

// Nodes in the subtree of node (dictionary keys not counted); limit + 1 once more than limit are found.
qint64 plistSubtreeSize(plist_t node, qint64 limit);

// True when candidate is node itself or one of its ancestors.
bool plistIsSelfOrAncestor(plist_t candidate, plist_t node);

// libplist 2.2 keeps a lookup table for an array of more than 100 items only when the array was built
// through plist_array_append_item, which its binary parser does not use; without the table every indexed
// access is a linear scan. Appending and removing a placeholder item makes libplist build the tables for
// every large array of the tree. (Dictionaries are left alone: their key tables can be made quadratic
// with chosen keys, see PlistHashLoad, and keyed access to a large dictionary is rare.)
void plistIndexLargeArrays(plist_t root);
