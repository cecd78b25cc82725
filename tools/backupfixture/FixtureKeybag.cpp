#include "FixtureKeybag.h"

#include "FixtureCrypto.h"

#include <QtEndian>

QByteArray FixtureKeybag::integer(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray FixtureKeybag::item(const char* tag, const QByteArray& value)
{
    return QByteArray(tag, 4) + integer(static_cast<quint32>(value.size())) + value;
}

QByteArray FixtureKeybag::passcodeKey(const QByteArray& password) const
{
    QByteArray input = password;
    if (dataProtectionKdf)
        input = FixtureCrypto::pbkdf2Sha256(password, dataProtectionSalt, dataProtectionIterations, 32);
    return FixtureCrypto::pbkdf2Sha1(input, salt, iterations, 32);
}

QByteArray FixtureKeybag::serialize() const
{
    QByteArray bytes;
    bytes += item("VERS", integer(4));
    bytes += item("TYPE", integer(1)); // backup keybag
    bytes += item("UUID", uuid);
    bytes += item("HMCK", QByteArray(40, '\x5a'));
    bytes += item("WRAP", integer(0));
    bytes += item("SALT", salt);
    bytes += item("ITER", integer(iterations));
    if (dataProtectionKdf) {
        bytes += item("DPWT", integer(1));
        bytes += item("DPIC", integer(dataProtectionIterations));
        bytes += item("DPSL", dataProtectionSalt);
    }
    for (auto it = wrappedClassKeys.cbegin(); it != wrappedClassKeys.cend(); ++it) {
        bytes += item("UUID", classUuids.value(it.key()));
        bytes += item("CLAS", integer(it.key()));
        bytes += item("WRAP", integer(2));
        bytes += item("KTYP", integer(0));
        bytes += item("WPKY", it.value());
    }
    return bytes;
}
