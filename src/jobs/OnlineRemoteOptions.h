#pragma once

// Lets the device restore ask the vendor's service (when one is configured) whether it runs in
// "system mode". Both programs call this once at start, so the window and the command line restore alike.
void useOnlineRemoteOptions();
