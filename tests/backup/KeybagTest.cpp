#include "backup/Keybag.h"
#include "FixtureCrypto.h"
#include "FixtureKeybag.h"
#include "backup/BackupCrypto.h"

#include <gtest/gtest.h>

namespace {

QByteArray item(const char* tag, const QByteArray& value)
{
    return FixtureKeybag::item(tag, value);
}

QByteArray integer(quint32 value)
{
    return FixtureKeybag::integer(value);
}

// A keybag with two class keys wrapped under the passcode key of "pw".
FixtureKeybag twoClassKeybag(bool dataProtection, QByteArray& key3, QByteArray& key4)
{
    FixtureKeybag keybag;
    keybag.uuid = QByteArray(16, 'u');
    keybag.salt = QByteArray(20, 's');
    keybag.iterations = 3;
    keybag.dataProtectionKdf = dataProtection;
    keybag.dataProtectionSalt = QByteArray(20, 'd');
    keybag.dataProtectionIterations = 2;
    key3 = QByteArray(32, '\x03');
    key4 = QByteArray(32, '\x04');
    const QByteArray passcode = keybag.passcodeKey("pw");
    keybag.classUuids = {{3, QByteArray(16, 'c')}, {4, QByteArray(16, 'C')}};
    keybag.wrappedClassKeys = {{3, FixtureCrypto::wrapKey(passcode, key3)},
                               {4, FixtureCrypto::wrapKey(passcode, key4)}};
    return keybag;
}

} // namespace

TEST(KeybagTest, FirstUuidAndWrapBelongToTheKeybagLaterOnesToClassKeys)
{
    const QByteArray bytes = item("VERS", integer(4)) + item("UUID", "keybag-uuid-0000") +
                             item("WRAP", integer(0)) + item("SALT", "salt") + item("ITER", integer(10)) +
                             item("UUID", "class-uuid-00001") + item("CLAS", integer(3)) +
                             item("WRAP", integer(2)) + item("KTYP", integer(0)) +
                             item("WPKY", QByteArray(40, 'w')) + item("UUID", "class-uuid-00002") +
                             item("CLAS", integer(7)) + item("WRAP", integer(3));
    const Keybag keybag = parseKeybag(bytes);
    EXPECT_EQ(keybag.attributes.value("UUID"), QByteArray("keybag-uuid-0000"));
    EXPECT_EQ(keybag.attributes.value("WRAP"), integer(0));
    EXPECT_EQ(keybag.attributes.value("VERS"), integer(4));
    ASSERT_EQ(keybag.classKeys.keys(), (QList<quint32>{3, 7}));
    EXPECT_EQ(keybag.classKeys[3].value("UUID"), QByteArray("class-uuid-00001"));
    EXPECT_EQ(keybag.classKeys[3].value("WRAP"), integer(2));
    EXPECT_EQ(keybag.classKeys[3].value("WPKY"), QByteArray(40, 'w'));
    EXPECT_EQ(keybag.classKeys[7].value("WRAP"), integer(3));
    EXPECT_FALSE(keybag.classKeys[7].contains("WPKY"));
    EXPECT_FALSE(keybag.hasDataProtectionKdf());
}

TEST(KeybagTest, TruncatedItemsAndShortIntegersAreDamage)
{
    const QByteArray good = item("UUID", "u") + item("SALT", "s");
    EXPECT_NO_THROW(parseKeybag(good));
    EXPECT_THROW(parseKeybag(good.left(good.size() - 1)), KeybagError); // value runs past the end
    EXPECT_THROW(parseKeybag(good + "ITE"), KeybagError);               // header runs past the end
    QByteArray huge = QByteArray("SALT") + QByteArray("\xff\xff\xff\xff", 4) + "x";
    EXPECT_THROW(parseKeybag(huge), KeybagError);
    EXPECT_THROW(parseKeybag(item("UUID", "k") + item("UUID", "c") + item("CLAS", "\x01")), KeybagError);
    EXPECT_TRUE(parseKeybag(QByteArray()).classKeys.isEmpty());
}

TEST(KeybagTest, DerivationRunsSha256ThenSha1OnlyWithDpicAndDpsl)
{
    QByteArray key3;
    QByteArray key4;
    for (const bool dataProtection : {false, true}) {
        const FixtureKeybag fixture = twoClassKeybag(dataProtection, key3, key4);
        const Keybag keybag = parseKeybag(fixture.serialize());
        EXPECT_EQ(keybag.hasDataProtectionKdf(), dataProtection);
        const QByteArray expected =
            dataProtection ? BackupCrypto::pbkdf2(BackupCrypto::pbkdf2("pw", QByteArray(20, 'd'), 2, 32,
                                                                       QCryptographicHash::Sha256),
                                                  QByteArray(20, 's'), 3, 32, QCryptographicHash::Sha1)
                           : BackupCrypto::pbkdf2("pw", QByteArray(20, 's'), 3, 32, QCryptographicHash::Sha1);
        EXPECT_EQ(derivePasscodeKey("pw", keybag), expected);
        EXPECT_EQ(derivePasscodeKey("pw", keybag), fixture.passcodeKey("pw"));
    }
}

TEST(KeybagTest, RightPasswordUnwrapsEveryClassKeyWrongPasswordChangesNothing)
{
    QByteArray key3;
    QByteArray key4;
    Keybag keybag = parseKeybag(twoClassKeybag(true, key3, key4).serialize());
    Keybag wrong = keybag;
    EXPECT_FALSE(deriveAndUnwrapClassKeys("not it", wrong));
    EXPECT_FALSE(wrong.classKeys[3].contains("KEY"));
    EXPECT_FALSE(wrong.classKeys[4].contains("KEY"));

    ASSERT_TRUE(deriveAndUnwrapClassKeys("pw", keybag));
    EXPECT_EQ(keybag.classKeys[3].value("KEY"), key3);
    EXPECT_EQ(keybag.classKeys[4].value("KEY"), key4);

    const QByteArray fileKey(32, 'F');
    const QByteArray wrapped = FixtureCrypto::wrapKey(key4, fileKey);
    EXPECT_EQ(unwrapWithClass(keybag, 4, wrapped), fileKey);
    EXPECT_TRUE(unwrapWithClass(keybag, 3, wrapped).isEmpty()); // the other class's key fails the check
    EXPECT_TRUE(unwrapWithClass(keybag, 9, wrapped).isEmpty()); // no such class
    EXPECT_TRUE(unwrapWithClass(keybag, 4, wrapped.left(39)).isEmpty());
    EXPECT_TRUE(unwrapWithClass(keybag, 4, wrapped + "x").isEmpty());
}

TEST(KeybagTest, ClassKeysWithoutThePasscodeBitStayWrapped)
{
    QByteArray key3;
    QByteArray key4;
    FixtureKeybag fixture = twoClassKeybag(false, key3, key4);
    QByteArray bytes = fixture.serialize();
    // Class 4 wrapped only with the device key (WRAP 1): it cannot be unwrapped from a backup.
    const qsizetype classFour = bytes.indexOf(item("CLAS", integer(4)));
    const qsizetype wrap = bytes.indexOf(item("WRAP", integer(2)), classFour);
    bytes.replace(wrap, 12, item("WRAP", integer(1)));
    Keybag keybag = parseKeybag(bytes);
    ASSERT_TRUE(deriveAndUnwrapClassKeys("pw", keybag));
    EXPECT_EQ(keybag.classKeys[3].value("KEY"), key3);
    EXPECT_FALSE(keybag.classKeys[4].contains("KEY"));
}

TEST(KeybagTest, MissingSaltOrIterAndAbsurdCountsAreReportedAsDamage)
{
    const QByteArray classKey = item("UUID", "c") + item("CLAS", integer(3)) + item("WRAP", integer(2)) +
                                item("WPKY", QByteArray(40, 'w'));
    Keybag noSalt = parseKeybag(item("UUID", "k") + item("ITER", integer(10)) + classKey);
    EXPECT_THROW(deriveAndUnwrapClassKeys("pw", noSalt), KeybagError);
    Keybag noIter = parseKeybag(item("UUID", "k") + item("SALT", "salt") + classKey);
    EXPECT_THROW(deriveAndUnwrapClassKeys("pw", noIter), KeybagError);
    Keybag zero = parseKeybag(item("UUID", "k") + item("SALT", "salt") + item("ITER", integer(0)) + classKey);
    EXPECT_THROW(deriveAndUnwrapClassKeys("pw", zero), KeybagError);
    Keybag huge = parseKeybag(item("UUID", "k") + item("SALT", "salt") + item("ITER", integer(1)) +
                              item("DPIC", integer(0xFFFFFFFF)) + item("DPSL", "dpsl") + classKey);
    EXPECT_THROW(deriveAndUnwrapClassKeys("pw", huge), KeybagError);
}

TEST(KeybagTest, WrappedClassKeysOfTheWrongLengthAreDamageNotAWrongPassword)
{
    for (const int length : {39, 41, 24}) {
        Keybag keybag = parseKeybag(item("UUID", "k") + item("SALT", "salt") + item("ITER", integer(1)) +
                                    item("UUID", "c") + item("CLAS", integer(3)) + item("WRAP", integer(2)) +
                                    item("WPKY", QByteArray(length, 'w')));
        EXPECT_THROW(deriveAndUnwrapClassKeys("pw", keybag), KeybagError) << length;
    }
}

TEST(KeybagTest, AesKeyWrapMatchesRfc3394AndRejectsBadInput)
{
    // RFC 3394 section 4.6: 256-bit key data with a 256-bit key encryption key.
    const QByteArray kek =
        QByteArray::fromHex("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F");
    const QByteArray data =
        QByteArray::fromHex("00112233445566778899AABBCCDDEEFF000102030405060708090A0B0C0D0E0F");
    const QByteArray wrapped = QByteArray::fromHex(
        "28C9F404C4B810F4CBCCB35CFB87F8263F5786E2D80ED326CBC7F0E71A99F43BFB988B9B7A02DD21");
    EXPECT_EQ(BackupCrypto::aesKeyWrap(kek, data, true), wrapped);
    EXPECT_EQ(BackupCrypto::aesKeyWrap(kek, wrapped, false), data);
    // 128-bit key encryption key (section 4.1).
    EXPECT_EQ(BackupCrypto::aesKeyWrap(QByteArray::fromHex("000102030405060708090A0B0C0D0E0F"),
                                       QByteArray::fromHex("00112233445566778899AABBCCDDEEFF"), true),
              QByteArray::fromHex("1FA68B0A8112B447AEF34BD8FB5A7B829D3E862371D2CFE5"));
    QByteArray damaged = wrapped;
    damaged[5] = static_cast<char>(damaged[5] ^ 1);
    EXPECT_TRUE(BackupCrypto::aesKeyWrap(kek, damaged, false).isEmpty());
    EXPECT_TRUE(BackupCrypto::aesKeyWrap(kek.left(20), wrapped, false).isEmpty());
    EXPECT_TRUE(BackupCrypto::aesKeyWrap(kek, wrapped.left(37), false).isEmpty());
    EXPECT_TRUE(BackupCrypto::aesKeyWrap(kek, QByteArray(), false).isEmpty());
}

TEST(KeybagTest, Pbkdf2MatchesKnownVectors)
{
    // RFC 6070 test vector 2 (SHA-1) and the common SHA-256 vector for the same inputs.
    EXPECT_EQ(BackupCrypto::pbkdf2("password", "salt", 2, 20, QCryptographicHash::Sha1).toHex(),
              QByteArray("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"));
    EXPECT_EQ(BackupCrypto::pbkdf2("password", "salt", 2, 32, QCryptographicHash::Sha256).toHex(),
              QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"));
    EXPECT_EQ(BackupCrypto::pbkdf2(QByteArray(), "salt", 1, 32, QCryptographicHash::Sha1).size(), 32);
    EXPECT_TRUE(BackupCrypto::pbkdf2("password", "salt", 0, 32, QCryptographicHash::Sha1).isEmpty());
}
