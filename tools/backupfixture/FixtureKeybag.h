#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

// Builds a backup keybag as devices write it: VERS, TYPE, UUID, HMCK, WRAP, SALT, ITER, [DPWT, DPIC,
// DPSL], then for every class UUID, CLAS, WRAP (2: wrapped under the passcode key), KTYP, WPKY.
struct FixtureKeybag
{
    QByteArray uuid;        // 16 bytes
    QByteArray salt;        // 20 bytes
    quint32 iterations = 0; // ITER
    bool dataProtectionKdf = false;
    QByteArray dataProtectionSalt; // DPSL, 20 bytes
    quint32 dataProtectionIterations = 0;
    QMap<quint32, QByteArray> classUuids;       // class -> 16 bytes
    QMap<quint32, QByteArray> wrappedClassKeys; // class -> 40 bytes

    // PBKDF2-HMAC-SHA256 over DPSL/DPIC (when present), then PBKDF2-HMAC-SHA1 over SALT/ITER.
    QByteArray passcodeKey(const QByteArray& password) const;
    QByteArray serialize() const;

    // One TLV item: 4-byte tag, 4-byte big-endian length, value.
    static QByteArray item(const char* tag, const QByteArray& value);
    static QByteArray integer(quint32 value);
};
