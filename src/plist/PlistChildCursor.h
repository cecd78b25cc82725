#pragma once

#include <plist/plist.h>

// Walks the children of one array or dictionary node in order, in linear time (indexed access into a
// large array parsed from a binary list is linear per item in libplist 2.2). The iterator libplist
// allocates is freed with the cursor.
class PlistChildCursor
{
public:
    explicit PlistChildCursor(plist_t container);
    ~PlistChildCursor();
    PlistChildCursor(const PlistChildCursor&) = delete;
    PlistChildCursor& operator=(const PlistChildCursor&) = delete;

    // The next array item or dictionary value, null at the end or when the node is no container. For a
    // dictionary keyNode receives the value's key node (a node of type PLIST_KEY).
    plist_t next(plist_t* keyNode = nullptr);

private:
    plist_t m_container = nullptr;
    void* m_iterator = nullptr;
    bool m_isDict = false;
};
