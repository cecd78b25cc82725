#pragma once

class QFileDevice;

// Asks the system to put the file's written data on the disk before returning (what a safe replace needs
// before the rename, so that a power cut cannot leave an empty file under the final name). The device must
// be open; false when the system refused.
bool syncFileToDisk(QFileDevice& file);
