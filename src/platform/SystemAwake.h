#pragma once

// Asks the operating system to keep the system and the display awake for as long as this process runs
// (a backup or restore must not be cut by sleep). Nothing undoes it; it ends with the process.
void keepSystemAwake();
