#pragma once

#include <QString>

// Where, inside a mirrored LINE app folder, the owner's account folder and the message store are. Paths
// are relative to the app folder, with "/" separators.
struct LineStoreLocation
{
    // The folder below which "Message Attachments" and "Message Thumbnails" are looked up; ends with "/".
    QString accountPrefix;
    QString storeRelativePath;
    // Empty when no UnifiedGroup.sqlite was found.
    QString groupStoreRelativePath;

    // Tries the layouts LINE has used, newest first: the account folder named for the mid, any account
    // folder holding a store, the old "Documents/PrivateStore" folder, then the oldest fixed places. When
    // no store exists anywhere, the last candidate is kept (the caller reports that nothing was found).
    static LineStoreLocation locate(const QString& appRoot, const QString& mid);
};
