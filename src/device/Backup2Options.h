#pragma once

#include <QString>

// What one mobilebackup2 conversation does: a backup (op 0) or a restore (op 1) with the restore's
// switches and the backup password the device needs to read an encrypted backup.
struct Backup2Options
{
    enum Op
    {
        Backup = 0,
        Restore = 1,
    };

    int op = Backup;
    bool compact = false;
    bool restoreSystemFiles = true;
    bool restoreShouldReboot = true;
    bool restoreDontCopyBackup = true;
    bool restorePreserveSettings = true;
    bool removeItemsNotRestored = false;
    QString password;

    explicit Backup2Options(int operation) : op(operation) {}
};
