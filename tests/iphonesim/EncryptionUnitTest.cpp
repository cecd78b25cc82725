// The cryptography of encrypted backups on its own: the shared primitives, the keybag, the device's backup
// keys and the encrypting codec, including damaged and hostile input.
#include "AtomicFile.h"
#include "BackupKeybag.h"
#include "CbcStream.h"
#include "CryptoPrimitives.h"
#include "DeviceBackupKeys.h"
#include "DeviceSettings.h"
#include "EncryptedBackupCodec.h"
#include "ManifestEntry.h"
#include "Plist.h"
#include "SimError.h"
#include "SimTestSupport.h"

#include <QTemporaryDir>
#include <filesystem>

namespace fs = std::filesystem;
using namespace iphonesim;
using backupcrypto::BackupKeybag;
using backupcrypto::CbcStream;

namespace {

std::string fromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string pattern(size_t length, unsigned seed)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = char((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return bytes;
}

DeviceSettings fastSettings(const std::string& password)
{
    DeviceSettings settings;
    settings.willEncrypt = true;
    settings.backupPassword = password;
    settings.keybagIterations = 3;
    settings.keybagDataProtectionIterations = 3;
    return settings;
}

TEST(CryptoPrimitivesTest, KeyWrapMatchesTheRfc3394VectorAndRefusesAWrongKey)
{
    // RFC 3394, 4.6: 256 bits of key data wrapped with a 256-bit KEK.
    const std::string kek = fromHex("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F");
    const std::string key = fromHex("00112233445566778899AABBCCDDEEFF000102030405060708090A0B0C0D0E0F");
    const std::string wrapped = backupcrypto::wrapKey(kek, key);
    EXPECT_EQ(wrapped,
              fromHex("28C9F404C4B810F4CBCCB35CFB87F8263F5786E2D80ED326CBC7F0E71A99F43BFB988B9B7A02DD21"));
    EXPECT_EQ(backupcrypto::unwrapKey(kek, wrapped), key);
    std::string otherKek = kek;
    otherKek[0] ^= 1;
    EXPECT_FALSE(backupcrypto::unwrapKey(otherKek, wrapped));
    EXPECT_FALSE(backupcrypto::unwrapKey(kek, wrapped.substr(0, 39)));
    EXPECT_FALSE(backupcrypto::unwrapKey(kek.substr(0, 20), wrapped));
    EXPECT_THROW(backupcrypto::wrapKey(kek, "short"), backupcrypto::CryptoError);
}

TEST(CryptoPrimitivesTest, ClassPrefixesAreLittleEndian)
{
    EXPECT_EQ(backupcrypto::classPrefix(4), std::string("\x04\x00\x00\x00", 4));
    EXPECT_EQ(backupcrypto::prefixClass(std::string("\x03\x01\x00\x00rest", 8)), 0x103u);
    EXPECT_FALSE(backupcrypto::prefixClass("abc"));
}

TEST(CbcStreamTest, PiecesOfAnySizeGiveTheOneShotCiphertextAndDecryptBack)
{
    const std::string key(32, 'k');
    for (const size_t length : {size_t(0), size_t(15), size_t(16), size_t(17), size_t(100000)}) {
        const std::string plain = pattern(length, unsigned(length));
        const std::string expected = backupcrypto::cbcEncrypt(key, std::string(16, '\0'), plain);
        EXPECT_EQ(expected.size(), CbcStream::paddedSize(length));

        CbcStream encrypt(CbcStream::Direction::Encrypt, key);
        std::string cipher;
        std::vector<char> out(CbcStream::outputCapacity(7777));
        for (size_t offset = 0; offset < plain.size(); offset += 7777) {
            const size_t piece = std::min<size_t>(7777, plain.size() - offset);
            cipher.append(out.data(), encrypt.update(plain.data() + offset, piece, out.data()));
        }
        cipher.append(out.data(), encrypt.finish(out.data()));
        EXPECT_EQ(cipher, expected) << length;

        CbcStream decrypt(CbcStream::Direction::Decrypt, key);
        std::string back;
        std::vector<char> in(CbcStream::outputCapacity(cipher.size()));
        back.append(in.data(), decrypt.update(cipher.data(), cipher.size(), in.data()));
        back.append(in.data(), decrypt.finish(in.data()));
        EXPECT_EQ(back, plain) << length;
    }
}

TEST(CbcStreamTest, AWrongKeyOrATruncatedCiphertextFailsAtTheEnd)
{
    const std::string cipher =
        backupcrypto::cbcEncrypt(std::string(32, 'a'), std::string(16, '\0'), "secret text");
    std::vector<char> out(64);
    CbcStream wrongKey(CbcStream::Direction::Decrypt, std::string(32, 'b'));
    wrongKey.update(cipher.data(), cipher.size(), out.data());
    EXPECT_THROW(wrongKey.finish(out.data()), backupcrypto::CryptoError);
    CbcStream truncated(CbcStream::Direction::Decrypt, std::string(32, 'a'));
    truncated.update(cipher.data(), cipher.size() - 3, out.data());
    EXPECT_THROW(truncated.finish(out.data()), backupcrypto::CryptoError);
    EXPECT_THROW(CbcStream(CbcStream::Direction::Decrypt, std::string(20, 'a')), backupcrypto::CryptoError);
}

TEST(BackupKeybagTest, CreatedKeybagRoundTripsAndUnlocksOnlyWithItsPassword)
{
    std::map<uint32_t, std::string> classKeys;
    for (uint32_t protectionClass = 1; protectionClass <= 11; ++protectionClass)
        classKeys[protectionClass] = backupcrypto::randomBytes(32);
    const BackupKeybag keybag = BackupKeybag::create("pw", classKeys, 5, 7);
    const auto parsed = BackupKeybag::parse(keybag.serialize());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->uuid, keybag.uuid);
    EXPECT_EQ(parsed->salt, keybag.salt);
    EXPECT_EQ(parsed->iterations, 5u);
    EXPECT_TRUE(parsed->dataProtectionKdf);
    EXPECT_EQ(parsed->dataProtectionIterations, 7u);
    EXPECT_EQ(parsed->classKeys.size(), 11u);
    EXPECT_EQ(parsed->classKeys.at(3).uuid, keybag.classKeys.at(3).uuid);
    EXPECT_EQ(parsed->serialize(), keybag.serialize());
    EXPECT_EQ(parsed->unlock("pw"), classKeys);
    EXPECT_FALSE(parsed->unlock("PW"));
    EXPECT_FALSE(parsed->unlock(""));
}

TEST(BackupKeybagTest, TheSecondUuidOpensTheFirstClassAndTheFirstWrapIsTheKeybags)
{
    std::string bytes = BackupKeybag::item("UUID", std::string(16, 'K')) +
                        BackupKeybag::item("WRAP", BackupKeybag::integer(0)) +
                        BackupKeybag::item("SALT", std::string(20, 's')) +
                        BackupKeybag::item("ITER", BackupKeybag::integer(10)) +
                        BackupKeybag::item("UUID", std::string(16, 'C')) +
                        BackupKeybag::item("CLAS", BackupKeybag::integer(3)) +
                        BackupKeybag::item("WRAP", BackupKeybag::integer(2)) +
                        BackupKeybag::item("WPKY", std::string(40, 'w'));
    const auto keybag = BackupKeybag::parse(bytes);
    ASSERT_TRUE(keybag);
    EXPECT_EQ(keybag->uuid, std::string(16, 'K'));
    EXPECT_FALSE(keybag->dataProtectionKdf);
    ASSERT_EQ(keybag->classKeys.count(3), 1u);
    EXPECT_EQ(keybag->classKeys.at(3).uuid, std::string(16, 'C'));
    EXPECT_EQ(keybag->classKeys.at(3).wrap, 2u);
    // The wrapped key is not a key of this password: the unlock fails instead of inventing one.
    EXPECT_FALSE(keybag->unlock("anything"));
}

TEST(BackupKeybagTest, DamagedKeybagsAreRefused)
{
    const std::string good = BackupKeybag::item("UUID", std::string(16, 'K')) +
                             BackupKeybag::item("SALT", std::string(20, 's')) +
                             BackupKeybag::item("ITER", BackupKeybag::integer(10));
    ASSERT_TRUE(BackupKeybag::parse(good));
    for (size_t cut = 1; cut < good.size(); ++cut) {
        const auto parsed = BackupKeybag::parse(good.substr(0, cut));
        EXPECT_FALSE(parsed) << "cut at " << cut;
    }
    EXPECT_FALSE(BackupKeybag::parse(BackupKeybag::item("UUID", "u") + BackupKeybag::item("SALT", "s")));
    EXPECT_FALSE(BackupKeybag::parse(good + BackupKeybag::item("CLAS", "ab")));
    // Iteration counts that would keep the device busy for hours.
    EXPECT_FALSE(BackupKeybag::parse(BackupKeybag::item("SALT", "s") +
                                     BackupKeybag::item("ITER", BackupKeybag::integer(0xFFFFFFFF))));
    EXPECT_FALSE(BackupKeybag::parse(good + BackupKeybag::item("DPSL", "salt") +
                                     BackupKeybag::item("DPIC", BackupKeybag::integer(0))));
    // A length field larger than the rest of the bytes.
    EXPECT_FALSE(BackupKeybag::parse(std::string("UUID\xff\xff\xff\xff", 8)));
}

class DeviceKeysTest : public ::testing::Test
{
protected:
    std::string keyPath() const { return m_temp.path().toStdString() + "/backup-keys.plist"; }
    QTemporaryDir m_temp;
};

TEST_F(DeviceKeysTest, KeysAreKeptAcrossRestartsAndRenewedForAnotherPassword)
{
    std::shared_ptr<const BackupKeySet> first;
    {
        DeviceBackupKeys keys(keyPath());
        first = keys.current(fastSettings("one"));
        EXPECT_EQ(first->classKeys.size(), DeviceBackupKeys::kLastClass);
        EXPECT_EQ(first->keybag.unlock("one"), first->classKeys);
    }
    DeviceBackupKeys reopened(keyPath());
    const auto again = reopened.current(fastSettings("one"));
    EXPECT_EQ(again->keybagBytes, first->keybagBytes);
    EXPECT_EQ(again->classKeys, first->classKeys);

    const auto other = reopened.current(fastSettings("two"));
    EXPECT_NE(other->keybag.uuid, first->keybag.uuid);
    EXPECT_TRUE(other->keybag.unlock("two"));
    DeviceSettings slower = fastSettings("two");
    slower.keybagIterations = 4;
    EXPECT_NE(reopened.current(slower)->keybag.uuid, other->keybag.uuid);
    EXPECT_NE(reopened.renew(slower)->classKeys, other->classKeys);

    reopened.forget();
    EXPECT_FALSE(fs::exists(keyPath()));
}

TEST_F(DeviceKeysTest, ADamagedKeyFileIsReplacedByNewKeys)
{
    writeWholeFile(keyPath(), "<plist><dict><key>Keybag</key><data>AAAA</data></dict></plist>");
    DeviceBackupKeys keys(keyPath());
    const auto made = keys.current(fastSettings("pw"));
    EXPECT_TRUE(made->keybag.unlock("pw"));
    EXPECT_TRUE(plistFromFile(keyPath()));
}

TEST(DeviceSettingsTest, KeybagIterationCountsAreBounded)
{
    DeviceSettings settings;
    EXPECT_TRUE(settings.set("KeybagIterations", "25"));
    EXPECT_EQ(settings.keybagIterations, 25u);
    EXPECT_FALSE(settings.set("KeybagIterations", "0"));
    EXPECT_FALSE(settings.set("KeybagDataProtectionIterations", "4000000000"));
    EXPECT_FALSE(settings.set("KeybagDataProtectionIterations", "many"));
    EXPECT_EQ(settings.keybagDataProtectionIterations, 10'000'000u);
}

class EncryptedCodecTest : public DeviceKeysTest
{
protected:
    void SetUp() override
    {
        DeviceBackupKeys keys(keyPath());
        m_keys = keys.current(fastSettings("pw"));
    }

    ManifestEntry fileEntry(const std::string& relativePath, uint64_t size)
    {
        ManifestEntry entry;
        entry.domain = "HomeDomain";
        entry.relativePath = relativePath;
        entry.fileId = backupFileId(entry.domain, relativePath);
        entry.size = size;
        entry.protectionClass = fileProtectionClass(relativePath);
        return entry;
    }

    // Everything a source delivers, read in small pieces.
    static std::string drain(ContentSource& source)
    {
        std::string bytes;
        char buffer[1000];
        while (const size_t got = source.read(buffer, sizeof buffer))
            bytes.append(buffer, got);
        return bytes;
    }

    // A manifest as the backup side writes it.
    PlistPtr manifestOf(EncryptedBackupCodec& codec)
    {
        PlistPtr manifest = newDict();
        codec.addManifestProperties(manifest.get());
        return manifest;
    }

    std::shared_ptr<const BackupKeySet> m_keys;
};

TEST_F(EncryptedCodecTest, FileContentRoundTripsThroughARestore)
{
    EncryptedBackupCodec codec(m_keys);
    const std::string plain = pattern(70001, 3);
    const std::string local = m_temp.path().toStdString() + "/photo.jpg";
    writeWholeFile(local, plain);
    ManifestEntry entry = fileEntry("Media/photo.jpg", plain.size());
    EXPECT_FALSE(codec.prepareEntry(entry, nullptr));
    EXPECT_EQ(entry.protectionClass, 3);
    ASSERT_EQ(entry.encryptionKey.size(), 44u);
    EXPECT_EQ(entry.encryptionKey.substr(0, 4), std::string("\x03\x00\x00\x00", 4));
    const auto source = codec.openContent(entry, local);
    const std::string stored = drain(*source);
    EXPECT_EQ(stored.size(), codec.storedSize(entry));
    EXPECT_EQ(backupcrypto::cbcDecrypt(*codec.fileKey(entry), std::string(16, '\0'), stored), plain);

    // The restore side, unlocked with the password from the manifest the backup side wrote.
    PlistPtr manifest = manifestOf(codec);
    EncryptedBackupCodec::Unlocked unlocked = EncryptedBackupCodec::unlockBackup(manifest.get(), "pw");
    ASSERT_TRUE(unlocked.codec) << unlocked.error;
    const std::string restored = m_temp.path().toStdString() + "/restored";
    {
        AtomicFileWriter file(restored);
        const auto sink = unlocked.codec->restoreContent(entry, file);
        for (size_t offset = 0; offset < stored.size(); offset += 4099)
            sink->write(stored.data() + offset, std::min<size_t>(4099, stored.size() - offset));
        sink->finish();
        file.commit();
    }
    EXPECT_EQ(readWholeFile(restored), plain);
}

TEST_F(EncryptedCodecTest, DatabasesGetClassFourAndUnchangedFilesKeepTheirKeys)
{
    EncryptedBackupCodec codec(m_keys);
    ManifestEntry database = fileEntry("Library/Line.sqlite", 10);
    codec.prepareEntry(database, nullptr);
    EXPECT_EQ(database.protectionClass, 4);
    EXPECT_EQ(fileProtectionClass("Library/Line.sqlite-wal"), 4);
    EXPECT_EQ(fileProtectionClass("Library/notes.txt"), 3);

    ManifestEntry again = fileEntry("Library/Line.sqlite", 10);
    EXPECT_TRUE(codec.prepareEntry(again, &database));
    EXPECT_EQ(again.encryptionKey, database.encryptionKey);

    // A previous record whose key is not one of the device's: the file gets a new key and is sent again.
    ManifestEntry foreign = database;
    foreign.encryptionKey = std::string("\x04\x00\x00\x00", 4) + std::string(40, 'x');
    ManifestEntry fresh = fileEntry("Library/Line.sqlite", 10);
    EXPECT_FALSE(codec.prepareEntry(fresh, &foreign));
    EXPECT_NE(fresh.encryptionKey, foreign.encryptionKey);
    EXPECT_TRUE(codec.fileKey(fresh));

    ManifestEntry folder = fileEntry("Library", 0);
    folder.flags = ManifestEntry::Directory;
    codec.prepareEntry(folder, nullptr);
    EXPECT_TRUE(folder.encryptionKey.empty());
}

TEST_F(EncryptedCodecTest, ManifestDbIsSealedAndOpenedWithTheManifestKey)
{
    EncryptedBackupCodec codec(m_keys);
    const std::string database = m_temp.path().toStdString() + "/Manifest.db";
    const std::string plain = std::string("SQLite format 3\0", 16) + pattern(5000, 9);
    writeWholeFile(database, plain);
    codec.sealManifestDb(database);
    EXPECT_NE(readWholeFile(database).substr(0, 16), plain.substr(0, 16));
    PlistPtr manifest = manifestOf(codec);

    // An incremental backup of the same device opens it again.
    EncryptedBackupCodec next(m_keys);
    ASSERT_TRUE(next.acceptsPrevious(manifest.get()));
    const std::string copy = database + ".copy";
    fs::copy_file(database, copy);
    next.openManifestDb(copy);
    EXPECT_EQ(readWholeFile(copy), plain);

    // A restore with the password does too; garbage in place of the database is refused.
    EncryptedBackupCodec::Unlocked unlocked = EncryptedBackupCodec::unlockBackup(manifest.get(), "pw");
    ASSERT_TRUE(unlocked.codec);
    unlocked.codec->openManifestDb(database);
    EXPECT_EQ(readWholeFile(database), plain);
    writeWholeFile(database, pattern(4096, 1));
    EXPECT_THROW(unlocked.codec->openManifestDb(database), SimError);
}

TEST_F(EncryptedCodecTest, RestoresRefuseWrongPasswordsDamagedKeybagsAndForeignKeys)
{
    EncryptedBackupCodec codec(m_keys);
    PlistPtr manifest = manifestOf(codec);
    EncryptedBackupCodec::Unlocked wrong = EncryptedBackupCodec::unlockBackup(manifest.get(), "PW");
    EXPECT_FALSE(wrong.codec);
    EXPECT_EQ(wrong.errorCode, 207u);
    EXPECT_NE(wrong.error.find("Invalid password when restoring encrypted backup"), std::string::npos);
    EXPECT_EQ(EncryptedBackupCodec::unlockBackup(manifest.get(), "").errorCode, 207u);

    PlistPtr damaged(plist_copy(manifest.get()));
    dictSetData(damaged.get(), "BackupKeyBag", "not a keybag");
    EXPECT_EQ(EncryptedBackupCodec::unlockBackup(damaged.get(), "pw").errorCode, 205u);
    PlistPtr badManifestKey(plist_copy(manifest.get()));
    dictSetData(badManifestKey.get(), "ManifestKey", std::string(44, 'm'));
    EXPECT_EQ(EncryptedBackupCodec::unlockBackup(badManifestKey.get(), "pw").errorCode, 205u);

    EncryptedBackupCodec::Unlocked unlocked = EncryptedBackupCodec::unlockBackup(manifest.get(), "pw");
    ASSERT_TRUE(unlocked.codec);
    ManifestEntry entry = fileEntry("Documents/a.txt", 3);
    entry.encryptionKey = std::string("\x03\x00\x00\x00", 4) + std::string(40, 'z');
    AtomicFileWriter file(m_temp.path().toStdString() + "/never");
    EXPECT_THROW(unlocked.codec->restoreContent(entry, file), SimError);

    // Another device's keys (another keybag) never serve an incremental backup.
    DeviceBackupKeys otherKeys(m_temp.path().toStdString() + "/other-keys.plist");
    EncryptedBackupCodec other(otherKeys.current(fastSettings("pw")));
    EXPECT_FALSE(other.acceptsPrevious(manifest.get()));
    PlistPtr plain = newDict();
    dictSetBool(plain.get(), "IsEncrypted", false);
    EXPECT_FALSE(codec.acceptsPrevious(plain.get()));
}

} // namespace
