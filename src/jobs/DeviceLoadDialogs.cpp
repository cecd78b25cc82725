#include "jobs/DeviceLoadDialogs.h"

DeviceLoadDialogs::~DeviceLoadDialogs() = default;
