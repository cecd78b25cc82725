#include "plist/PlistChildCursor.h"

#include <cstdlib>

PlistChildCursor::PlistChildCursor(plist_t container) : m_container(container)
{
    const plist_type type = plist_get_node_type(container);
    if (type == PLIST_ARRAY) {
        plist_array_new_iter(container, &m_iterator);
    } else if (type == PLIST_DICT) {
        m_isDict = true;
        plist_dict_new_iter(container, &m_iterator);
    }
}

PlistChildCursor::~PlistChildCursor()
{
    std::free(
        m_iterator); // libplist 2.2 allocates its iterators with malloc and has no function to free them
}

plist_t PlistChildCursor::next(plist_t* keyNode)
{
    if (keyNode)
        *keyNode = nullptr;
    if (!m_iterator)
        return nullptr;
    plist_t item = nullptr;
    if (m_isDict) {
        plist_dict_next_item(m_container, m_iterator, nullptr, &item);
        if (item && keyNode)
            *keyNode = plist_dict_item_get_key(item);
    } else {
        plist_array_next_item(m_container, m_iterator, &item);
    }
    return item;
}
