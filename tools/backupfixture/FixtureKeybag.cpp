#include "FixtureKeybag.h"

#include "BackupKeybag.h"

#include <string>

namespace {

std::string bytesOf(const QByteArray& bytes)
{
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QByteArray toBytes(const std::string& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The shared keybag writer, filled from the fixture's fields.
backupcrypto::BackupKeybag sharedKeybag(const FixtureKeybag& fixture)
{
    backupcrypto::BackupKeybag keybag;
    keybag.uuid = bytesOf(fixture.uuid);
    keybag.salt = bytesOf(fixture.salt);
    keybag.iterations = fixture.iterations;
    keybag.dataProtectionKdf = fixture.dataProtectionKdf;
    keybag.dataProtectionSalt = bytesOf(fixture.dataProtectionSalt);
    keybag.dataProtectionIterations = fixture.dataProtectionIterations;
    for (auto it = fixture.wrappedClassKeys.cbegin(); it != fixture.wrappedClassKeys.cend(); ++it)
        keybag.classKeys[it.key()] = {bytesOf(fixture.classUuids.value(it.key())), 2, 0, bytesOf(it.value())};
    return keybag;
}

} // namespace

QByteArray FixtureKeybag::integer(quint32 value)
{
    return toBytes(backupcrypto::BackupKeybag::integer(value));
}

QByteArray FixtureKeybag::item(const char* tag, const QByteArray& value)
{
    return toBytes(backupcrypto::BackupKeybag::item(tag, bytesOf(value)));
}

QByteArray FixtureKeybag::passcodeKey(const QByteArray& password) const
{
    return toBytes(sharedKeybag(*this).passcodeKey(bytesOf(password)));
}

QByteArray FixtureKeybag::serialize() const
{
    return toBytes(sharedKeybag(*this).serialize());
}
