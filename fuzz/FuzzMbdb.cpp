// Feeds arbitrary bytes to the Manifest.mbdb reader. Besides crashes it checks that whatever was read
// is written back and read again to the same records.
#include "backup/MbdbFormat.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameRecord(const BackupFileRecord& a, const BackupFileRecord& b)
{
    return a.domain == b.domain && a.relativePath == b.relativePath && a.target == b.target &&
           a.digest == b.digest && a.encryptionKey == b.encryptionKey && a.mode == b.mode &&
           a.inodeHigh == b.inodeHigh && static_cast<quint32>(a.inode) == static_cast<quint32>(b.inode) &&
           a.userId == b.userId && a.groupId == b.groupId && a.lastModified == b.lastModified &&
           a.lastStatusChange == b.lastStatusChange && a.birth == b.birth && a.size == b.size &&
           a.protectionClass == b.protectionClass && a.properties == b.properties;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FileRecordSet first;
    try {
        first = MbdbFormat::parse(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    } catch (const std::runtime_error&) {
        return 0;
    }
    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    MbdbFormat::write(buffer, first);
    const FileRecordSet second = MbdbFormat::parse(written.constData(), written.size());
    check(second.records.size() == first.records.size());
    for (auto it = first.records.cbegin(); it != first.records.cend(); ++it) {
        const auto other = second.records.constFind(it.key());
        check(other != second.records.cend());
        check(sameRecord(*it, *other));
    }
    return 0;
}
