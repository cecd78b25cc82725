#pragma once

// Fixes the process's local time zone for its whole run. Qt re-reads the time-zone settings (tzset) for
// every local date-time it makes; with TZ unset, the C library then looks at /etc/localtime each time,
// which makes reading a long history several times slower. Pointing TZ at that same file keeps the
// zone and answers from memory. A TZ the user set is left alone; on Windows it does nothing.
void pinLocalTimeZone();
