#include "platform/SystemAwake.h"

#include <windows.h>

void keepSystemAwake()
{
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}
