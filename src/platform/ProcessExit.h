#pragma once

// Ends this process at once, without running destructors, exit handlers or the event loop's clean-up.
// Used after the user changed the language: the new translator can only be installed at the next start,
// and the running windows must not write anything on the way out.
[[noreturn]] void terminateProcessNow();
