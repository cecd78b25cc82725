// Reading a backup's Manifest.db parses and flattens one archived MBFile record per file, often several
// hundred thousand of them; these measure that path and the archive writer.
#include "plist/KeyedArchive.h"
#include "plist/PlistCFType.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray fileRecordArchive()
{
    PlistCFType file = PlistCFType::newDict();
    file.setValue("$class", PlistCFType::newUID(5));
    file.setValue("Birth", PlistCFType::newUInt(1600000000));
    file.setValue("Digest", PlistCFType::newUID(3));
    file.setValue("EncryptionKey", PlistCFType::newUID(4));
    file.setValue("Flags", PlistCFType::newUInt(0));
    file.setValue("GroupID", PlistCFType::newUInt(501));
    file.setValue("InodeNumber", PlistCFType::newUInt(123456789));
    file.setValue("LastModified", PlistCFType::newUInt(1600000001));
    file.setValue("LastStatusChange", PlistCFType::newUInt(1600000002));
    file.setValue("Mode", PlistCFType::newUInt(0100644));
    file.setValue("ProtectionClass", PlistCFType::newUInt(3));
    file.setValue("RelativePath", PlistCFType::newUID(2));
    file.setValue("Size", PlistCFType::newUInt(4096));
    file.setValue("UserID", PlistCFType::newUInt(501));
    PlistCFType key = PlistCFType::newDict();
    key.setValue("NS.data", PlistCFType::newData(QByteArray(44, '\x22')));
    PlistCFType classes = PlistCFType::newArray();
    classes.append(PlistCFType::newString("MBFile"));
    classes.append(PlistCFType::newString("NSObject"));
    PlistCFType description = PlistCFType::newDict();
    description.setValue("$classes", classes);
    description.setValue("$classname", PlistCFType::newString("MBFile"));

    PlistCFType objects = PlistCFType::newArray();
    objects.append(PlistCFType::newString("$null"));
    objects.append(file);
    objects.append(
        PlistCFType::newString("Library/Application Support/PrivateStore/P_u1234/Messages/Line.sqlite"));
    objects.append(PlistCFType::newData(QByteArray(20, '\x11')));
    objects.append(key);
    objects.append(description);
    PlistCFType top = PlistCFType::newDict();
    top.setValue("root", PlistCFType::newUID(1));
    PlistCFType archive = PlistCFType::newDict();
    archive.setValue("$archiver", PlistCFType::newString("NSKeyedArchiver"));
    archive.setValue("$objects", objects);
    archive.setValue("$top", top);
    archive.setValue("$version", PlistCFType::newUInt(100000));
    return archive.serialize(PlistCFType::FormatBinary);
}

void BM_DecodeFileRecord(benchmark::State& state)
{
    const QByteArray bytes = fileRecordArchive();
    for (auto _ : state) {
        const PlistCFMap record = decodeKeyedObject(PlistCFType::fromData(bytes));
        benchmark::DoNotOptimize(record.value("RelativePath").getString());
        benchmark::DoNotOptimize(record.value("Size").getInt64());
        benchmark::DoNotOptimize(record.value("EncryptionKey").value("NS.data").getData());
    }
}
BENCHMARK(BM_DecodeFileRecord);

void BM_EncodeKeyedDictionary(benchmark::State& state)
{
    PlistCFEntries entries;
    for (int i = 0; i < 8; ++i)
        entries.append({QString("key%1").arg(i), PlistCFType::newInt(i)});
    for (auto _ : state) {
        PlistCFEntries values;
        for (const auto& [key, value] : entries)
            values.append({key, value.copy()});
        benchmark::DoNotOptimize(encodeKeyedDictionary(values, true).serialize(PlistCFType::FormatBinary));
    }
}
BENCHMARK(BM_EncodeKeyedDictionary);

void BM_ParseLargeBinaryList(benchmark::State& state)
{
    PlistCFType list = PlistCFType::newArray();
    for (int i = 0; i < state.range(0); ++i) {
        PlistCFType entry = PlistCFType::newDict();
        entry.setValue("Path", PlistCFType::newString(QString("Media/DCIM/100APPLE/IMG_%1.HEIC").arg(i)));
        entry.setValue("Size", PlistCFType::newUInt(static_cast<quint64>(i) * 1000));
        list.append(entry);
    }
    const QByteArray bytes = list.serialize(PlistCFType::FormatBinary);
    for (auto _ : state) {
        const PlistCFType parsed = PlistCFType::fromData(bytes);
        benchmark::DoNotOptimize(parsed.at(static_cast<int>(state.range(0) - 1)).value("Size").getInt64());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ParseLargeBinaryList)->Arg(100000);

} // namespace
