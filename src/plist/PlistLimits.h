#pragma once

#include <QtGlobal>

// Bounds on the property lists this program accepts. libplist 2.2 frees, copies and writes trees
// recursively, parses binary lists recursively and expands an object referenced from several places
// into separate copies, so lists beyond these bounds are refused before libplist sees them, and trees are
// never allowed to grow deeper than MaxDepth.
namespace PlistLimits {

// Largest serialised property list accepted, in bytes.
inline constexpr qint64 MaxInputBytes = 256 * 1024 * 1024;

// Most nodes on one path from the root to a leaf, both ends included. Apple's lists nest a handful of
// levels; the bound keeps libplist's recursion far from the stack limit of any thread.
inline constexpr int MaxDepth = 128;

// Most nodes in one parsed tree.
inline constexpr qint64 MaxNodes = 2'000'000;

// A binary list may reference one object from many places and libplist copies it for each reference.
// Apple's writer shares only scalars, so a genuine list has about one node per reference byte; these
// bounds allow generous sharing but not exponential growth.
qint64 maxExpandedNodes(qint64 inputBytes);
qint64 maxExpandedPayloadBytes(qint64 inputBytes);

} // namespace PlistLimits
