#include "line/AbsLineDb.h"

#include "line/LineData.h"

AbsLineDb::~AbsLineDb() = default;

void AbsLineDb::loadContacts(const std::shared_ptr<_LineData>& data)
{
    if (!data)
        return;
    m_contactsData = data;
    fillContacts(*data);
}
