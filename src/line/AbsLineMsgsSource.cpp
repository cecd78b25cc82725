#include "line/AbsLineMsgsSource.h"

void registerLineMetaTypes()
{
    static const int id = qRegisterMetaType<PAbsLineMsgsSource>("PAbsLineMsgsSource");
    Q_UNUSED(id);
}

AbsLineMsgsSource::AbsLineMsgsSource()
{
    // Whoever builds a source may send it through a queued signal next.
    registerLineMetaTypes();
}

AbsLineMsgsSource::~AbsLineMsgsSource() = default;
