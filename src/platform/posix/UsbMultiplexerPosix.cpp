#include "platform/UsbMultiplexer.h"

// usbmuxd is a system service here: it runs (or is started on demand) without the program's help.

void launchMultiplexer()
{
}

void stopMultiplexer()
{
}

bool restartMultiplexer()
{
    return false;
}
