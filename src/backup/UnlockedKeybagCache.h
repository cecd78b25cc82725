#pragma once

#include "backup/Keybag.h"

#include <QByteArray>

// Keybags unlocked during this run, with their class keys, kept in memory only (never written anywhere),
// so that a backup opened again (a transfer opens its source and target several times) unlocks at once
// instead of paying seconds of key derivation each time. An entry is found only for the same keybag
// bytes and the same password; a changed password changes the keybag, so it never finds a stale entry.
class UnlockedKeybagCache
{
public:
    // Fills keybag's class keys from the entry of (keybagData, password); false when there is none.
    static bool restore(const QByteArray& keybagData, const QByteArray& password, Keybag& keybag);
    // Keeps keybag, whose class keys were unwrapped with password, for later opens.
    static void remember(const QByteArray& keybagData, const QByteArray& password, const Keybag& keybag);
    // Forgets every entry.
    static void clear();
};
