#include "jobs/LineTransferDialogs.h"

LineTransferDialogs::~LineTransferDialogs() = default;
