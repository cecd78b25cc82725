// Feeds arbitrary bytes to the MBFile archive readers. Besides crashes it checks that the quick binary
// reader and the general property-list path agree on every archive both of them decode.
#include "backup/MBFileArchive.h"
#include "backup/MBFileBinaryReader.h"

#include <cstdint>
#include <cstdlib>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    BackupFileRecord quick;
    const bool quickDecoded = MBFileBinaryReader::read(bytes, quick) == MBFileBinaryReader::Decoded;
    BackupFileRecord general;
    const bool generalDecoded = MBFileArchive::decodeGeneral(bytes, general);
    if (quickDecoded && generalDecoded) {
        check(quick.mode == general.mode && quick.inode == general.inode && quick.userId == general.userId);
        check(quick.groupId == general.groupId && quick.lastModified == general.lastModified);
        check(quick.lastStatusChange == general.lastStatusChange && quick.birth == general.birth);
        check(quick.size == general.size && quick.protectionClass == general.protectionClass);
        check(quick.target == general.target && quick.digest == general.digest);
        check(quick.encryptionKey == general.encryptionKey);
    }
    return 0;
}
