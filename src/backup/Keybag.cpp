#include "backup/Keybag.h"

#include "backup/BackupCrypto.h"

#include <QtEndian>

namespace {
constexpr int PasscodeKeyLength = 32;
constexpr int WrappedKeyLength = 40;
constexpr quint32 WrapPasscode = 2;

const QByteArray TagUuid("UUID");
const QByteArray TagWrap("WRAP");
const QByteArray TagClas("CLAS");
const QByteArray TagKey("KEY");
const QByteArray TagWpky("WPKY");

bool isClassKeyTag(const QByteArray& tag)
{
    return tag == "CLAS" || tag == "WRAP" || tag == "WPKY" || tag == "KTYP" || tag == "PBKY";
}

void storeClassKey(Keybag& keybag, const Keybag::Items& current)
{
    const auto clas = current.constFind(TagClas);
    if (clas != current.constEnd())
        keybag.classKeys.insert(keybagInteger(*clas, "CLAS"), current);
}

quint32 iterationCount(const Keybag& keybag, const char* tag)
{
    const quint32 count = keybagInteger(keybag.attributes.value(tag), tag);
    if (count == 0 || count > MaxKeybagIterations)
        throw KeybagError(QStringLiteral("The backup's keybag is damaged: %1 is %2.")
                              .arg(QLatin1String(tag))
                              .arg(count)
                              .toStdString());
    return count;
}
} // namespace

bool Keybag::hasDataProtectionKdf() const
{
    return attributes.contains("DPIC") && attributes.contains("DPSL");
}

quint32 keybagInteger(const QByteArray& value, const char* tag)
{
    if (value.size() < 4)
        throw KeybagError(
            QStringLiteral("The backup's keybag is damaged: %1 is missing or shorter than 4 bytes.")
                .arg(QLatin1String(tag))
                .toStdString());
    return qFromBigEndian<quint32>(value.constData());
}

Keybag parseKeybag(const QByteArray& bytes)
{
    Keybag keybag;
    Keybag::Items current;
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 8)
            throw KeybagError("The backup's keybag is damaged: an item header runs past the end.");
        const QByteArray tag = bytes.mid(offset, 4);
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + offset + 4);
        offset += 8;
        if (length > static_cast<quint64>(bytes.size() - offset))
            throw KeybagError("The backup's keybag is damaged: an item runs past the end.");
        const QByteArray value = bytes.mid(offset, length);
        offset += length;

        if (tag == TagUuid && !keybag.attributes.contains(TagUuid)) {
            keybag.attributes.insert(tag, value);
        } else if (tag == TagWrap && !keybag.attributes.contains(TagWrap)) {
            keybag.attributes.insert(tag, value);
        } else if (tag == TagUuid) {
            storeClassKey(keybag, current);
            current.clear();
            current.insert(tag, value);
        } else if (isClassKeyTag(tag)) {
            current.insert(tag, value);
        } else {
            keybag.attributes.insert(tag, value);
        }
        storeClassKey(keybag, current);
    }
    return keybag;
}

QByteArray derivePasscodeKey(const QByteArray& password, const Keybag& keybag)
{
    if (!keybag.attributes.contains("SALT"))
        throw KeybagError("The backup's keybag is damaged: SALT is missing.");
    const quint32 iterations = iterationCount(keybag, "ITER");
    QByteArray input = password;
    if (keybag.hasDataProtectionKdf()) {
        input =
            BackupCrypto::pbkdf2(password, keybag.attributes.value("DPSL"), iterationCount(keybag, "DPIC"),
                                 PasscodeKeyLength, QCryptographicHash::Sha256);
    }
    return BackupCrypto::pbkdf2(input, keybag.attributes.value("SALT"), iterations, PasscodeKeyLength,
                                QCryptographicHash::Sha1);
}

bool deriveAndUnwrapClassKeys(const QByteArray& password, Keybag& keybag)
{
    // Check every wrapped key before the slow derivation, so a damaged keybag is reported as such.
    for (const Keybag::Items& classKey : std::as_const(keybag.classKeys)) {
        if (classKey.contains(TagWpky) && classKey.value(TagWpky).size() != WrappedKeyLength &&
            (keybagInteger(classKey.value(TagWrap), "WRAP") & WrapPasscode))
            throw KeybagError("The backup's keybag is damaged: a wrapped class key is not 40 bytes long.");
    }
    const QByteArray passcodeKey = derivePasscodeKey(password, keybag);
    if (passcodeKey.size() != PasscodeKeyLength)
        throw KeybagError("The backup's keybag could not be used: key derivation failed.");

    QMap<quint32, QByteArray> unwrapped;
    for (auto it = keybag.classKeys.cbegin(); it != keybag.classKeys.cend(); ++it) {
        const Keybag::Items& classKey = it.value();
        if (!classKey.contains(TagWpky) || !classKey.contains(TagWrap))
            continue;
        if ((keybagInteger(classKey.value(TagWrap), "WRAP") & WrapPasscode) == 0)
            continue;
        const QByteArray key = BackupCrypto::aesKeyWrap(passcodeKey, classKey.value(TagWpky), false);
        if (key.isEmpty())
            return false;
        unwrapped.insert(it.key(), key);
    }
    // Only a complete success changes the keybag.
    for (auto it = unwrapped.cbegin(); it != unwrapped.cend(); ++it)
        keybag.classKeys[it.key()].insert(TagKey, it.value());
    return true;
}

QByteArray unwrapWithClass(const Keybag& keybag, quint32 protectionClass, const QByteArray& wrapped)
{
    const auto classKey = keybag.classKeys.constFind(protectionClass);
    if (classKey == keybag.classKeys.constEnd() || wrapped.size() != WrappedKeyLength)
        return {};
    const QByteArray key = classKey->value(TagKey);
    if (key.isEmpty())
        return {};
    return BackupCrypto::aesKeyWrap(key, wrapped, false);
}

QByteArray wrapWithClass(const Keybag& keybag, quint32 protectionClass, const QByteArray& key)
{
    const QByteArray classKey = keybag.classKeys.value(protectionClass).value(TagKey);
    if (classKey.isEmpty())
        return {};
    return BackupCrypto::aesKeyWrap(classKey, key, true);
}
