#pragma once

#include <QByteArray>
#include <QMap>
#include <stdexcept>

// The backup keybag ("BackupKeyBag" of Manifest.plist): header items and one wrapped key per
// data-protection class.
struct Keybag
{
    using Items = QMap<QByteArray, QByteArray>; // 4-character tag -> value

    Items attributes;               // the keybag's own items: UUID, WRAP, SALT, ITER, DPIC, DPSL, ...
    QMap<quint32, Items> classKeys; // class number -> UUID, CLAS, WRAP, WPKY, KTYP, PBKY and, once
                                    // unlocked, "KEY"

    // DPIC and DPSL present: the password goes through PBKDF2-HMAC-SHA256 first, and Manifest.db is
    // encrypted with the manifest key.
    bool hasDataProtectionKdf() const;
};

// A keybag that cannot be used as it stands: an item running past the end, an integer item shorter
// than 4 bytes, SALT or ITER missing, or an iteration count beyond reason.
class KeybagError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Most PBKDF2 rounds accepted in ITER or DPIC: devices use 10,000,000 at most; a hostile count would
// keep the program busy for hours.
inline constexpr quint32 MaxKeybagIterations = 100'000'000;

// Reads the TLV stream (4-byte tag, 4-byte big-endian length, value). The first UUID and WRAP belong to
// the keybag; every later UUID opens a class key. Throws KeybagError for a truncated item or an integer
// item shorter than 4 bytes.
Keybag parseKeybag(const QByteArray& bytes);

// Big-endian value of the first 4 bytes; throws KeybagError when shorter.
quint32 keybagInteger(const QByteArray& value, const char* tag);

// The 32-byte passcode key of a password (UTF-8 bytes). Throws KeybagError when SALT or ITER is missing
// or an iteration count is 0 or above MaxKeybagIterations.
QByteArray derivePasscodeKey(const QByteArray& password, const Keybag& keybag);

// Derives the passcode key and unwraps every class key whose WRAP has bit 2 into its "KEY". False (and
// the keybag keeps no "KEY") when a key does not unwrap: a wrong password. Throws KeybagError as
// derivePasscodeKey does, and for a wrapped class key that is not 40 bytes long.
bool deriveAndUnwrapClassKeys(const QByteArray& password, Keybag& keybag);

// The 32-byte key wrapped (40 bytes) under a class key; empty when the class has no unwrapped key, the
// wrapped bytes are not exactly 40 long, or they do not unwrap.
QByteArray unwrapWithClass(const Keybag& keybag, quint32 protectionClass, const QByteArray& wrapped);

// key (32 bytes) wrapped (40 bytes) under a class key, as a file's EncryptionKey holds it after its class
// prefix; empty when the class has no unwrapped key.
QByteArray wrapWithClass(const Keybag& keybag, quint32 protectionClass, const QByteArray& key);
