#include "AfcService.h"

#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <endian.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <vector>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'C', 'F', 'A', '6', 'L', 'P', 'A', 'A'};
constexpr uint64_t kHeaderSize = 40;
constexpr uint64_t kMaxPacket = 16u << 20;
constexpr size_t kMaxOpenFiles = 256;
constexpr uint64_t kMaxRead = 4u << 20;

enum Operation : uint64_t
{
    Status = 0x01,
    Data = 0x02,
    ReadDir = 0x03,
    RemovePath = 0x08,
    MakeDir = 0x09,
    GetFileInfo = 0x0A,
    GetDeviceInfo = 0x0B,
    FileOpen = 0x0D,
    FileOpenResult = 0x0E,
    FileRead = 0x0F,
    FileWrite = 0x10,
    FileSeek = 0x11,
    FileTell = 0x12,
    FileTellResult = 0x13,
    FileClose = 0x14,
    FileSetSize = 0x15,
    RenamePath = 0x18,
    FileLock = 0x1B,
    RemovePathAndContents = 0x22,
};

enum Error : uint64_t
{
    Success = 0,
    UnknownError = 1,
    InvalidArgument = 7,
    ObjectNotFound = 8,
    ObjectIsDir = 9,
    PermissionDenied = 10,
    NotSupported = 15,
    ObjectExists = 16,
    NoResources = 3,
    WouldBlock = 19,
    IoError = 20,
};

uint64_t errorOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ObjectNotFound;
    case EISDIR:
        return ObjectIsDir;
    case EACCES:
    case EPERM:
        return PermissionDenied;
    case EEXIST:
        return ObjectExists;
    case ENOTEMPTY:
        return UnknownError; // libimobiledevice reads this as "directory not empty"
    case EWOULDBLOCK:
        return WouldBlock;
    default:
        return IoError;
    }
}

uint64_t readU64(const std::string& bytes, size_t offset)
{
    uint64_t value = 0;
    if (offset + 8 <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, 8);
    return le64toh(value);
}

std::string u64Bytes(uint64_t value)
{
    value = htole64(value);
    return std::string(reinterpret_cast<const char*>(&value), 8);
}

std::string keyValueList(const std::vector<std::pair<std::string, std::string>>& items)
{
    std::string list;
    for (const auto& [key, value] : items) {
        list += key;
        list += '\0';
        list += value;
        list += '\0';
    }
    return list;
}

} // namespace

AfcService::AfcService(SimDevice& device, SimStream& stream)
    : m_device(device), m_stream(stream), m_root(device.afcRoot())
{
}

std::string AfcService::resolve(const std::string& root, const std::string& afcPath)
{
    if (afcPath.find('\0') != std::string::npos)
        return {};
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= afcPath.size()) {
        const size_t end = std::min(afcPath.find('/', start), afcPath.size());
        const std::string part = afcPath.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string local = root;
    for (const std::string& part : parts)
        local += "/" + part;
    return local;
}

std::string AfcService::path(const std::string& header, size_t offset) const
{
    if (offset >= header.size())
        return {};
    const std::string text(header.c_str() + offset, strnlen(header.c_str() + offset, header.size() - offset));
    return resolve(m_root, text);
}

AfcService::Packet AfcService::receive()
{
    char header[kHeaderSize];
    m_stream.readExact(header, sizeof header);
    if (std::memcmp(header, kMagic, 8) != 0)
        throw SimError("AFC packet without magic");
    const std::string fields(header, sizeof header);
    const uint64_t entire = readU64(fields, 8);
    const uint64_t thisLength = readU64(fields, 16);
    Packet packet;
    packet.number = readU64(fields, 24);
    packet.operation = readU64(fields, 32);
    if (thisLength < kHeaderSize || entire < thisLength || entire > kMaxPacket)
        throw SimError("AFC packet with bad lengths");
    packet.header.resize(thisLength - kHeaderSize);
    m_stream.readExact(packet.header.data(), packet.header.size());
    packet.payload.resize(entire - thisLength);
    m_stream.readExact(packet.payload.data(), packet.payload.size());
    return packet;
}

void AfcService::reply(uint64_t number, uint64_t operation, const std::string& data)
{
    std::string packet(kMagic, 8);
    packet += u64Bytes(kHeaderSize + data.size());
    packet += u64Bytes(kHeaderSize + data.size());
    packet += u64Bytes(number);
    packet += u64Bytes(operation);
    packet += data;
    m_stream.writeAll(packet);
}

void AfcService::status(uint64_t number, uint64_t code)
{
    reply(number, Status, u64Bytes(code));
}

void AfcService::run()
{
    for (;;)
        handle(receive());
}

void AfcService::handle(const Packet& packet)
{
    const uint64_t n = packet.number;
    const std::string& args = packet.header;
    logDebug(m_device.udid() + " afc operation " + std::to_string(packet.operation));
    switch (packet.operation) {
    case GetDeviceInfo: {
        struct statvfs fsInfo = {};
        ::statvfs(m_root.c_str(), &fsInfo);
        const auto settings = m_device.settings();
        reply(n, Data,
              keyValueList({{"Model", m_device.lockdownString("ProductType")},
                            {"FSTotalBytes", std::to_string(settings.totalCapacity)},
                            {"FSFreeBytes", std::to_string(settings.freeSpace)},
                            {"FSBlockSize", "4096"}}));
        return;
    }
    case ReadDir: {
        const std::string local = path(args);
        DIR* dir = local.empty() ? nullptr : ::opendir(local.c_str());
        if (!dir) {
            status(n, local.empty() ? PermissionDenied : errorOf(errno));
            return;
        }
        std::string list;
        while (dirent* entry = ::readdir(dir)) {
            list += entry->d_name;
            list += '\0';
        }
        ::closedir(dir);
        reply(n, Data, list);
        return;
    }
    case GetFileInfo: {
        const std::string local = path(args);
        struct stat info = {};
        if (local.empty() || ::lstat(local.c_str(), &info) != 0) {
            status(n, local.empty() ? PermissionDenied : errorOf(errno));
            return;
        }
        const char* type = S_ISDIR(info.st_mode) ? "S_IFDIR" : S_ISLNK(info.st_mode) ? "S_IFLNK" : "S_IFREG";
        const uint64_t mtime = uint64_t(info.st_mtim.tv_sec) * 1000000000ull + uint64_t(info.st_mtim.tv_nsec);
        reply(n, Data,
              keyValueList({{"st_size", std::to_string(info.st_size)},
                            {"st_blocks", std::to_string(info.st_blocks)},
                            {"st_nlink", std::to_string(info.st_nlink)},
                            {"st_ifmt", type},
                            {"st_mtime", std::to_string(mtime)},
                            {"st_birthtime", std::to_string(mtime)}}));
        return;
    }
    case MakeDir: {
        const std::string local = path(args);
        std::error_code error;
        if (local.empty())
            status(n, PermissionDenied);
        else
            status(n, fs::create_directories(local, error) || fs::is_directory(local) ? Success : IoError);
        return;
    }
    case RemovePath:
    case RemovePathAndContents: {
        const std::string local = path(args);
        if (local.empty() || local == m_root) {
            status(n, PermissionDenied);
            return;
        }
        std::error_code error;
        if (packet.operation == RemovePathAndContents) {
            status(n, fs::remove_all(local, error) > 0 ? Success : ObjectNotFound);
            return;
        }
        status(n, ::remove(local.c_str()) == 0 ? Success : errorOf(errno));
        return;
    }
    case RenamePath: {
        const std::string from = path(args);
        const size_t second = strnlen(args.c_str(), args.size()) + 1;
        const std::string to = path(args, second);
        if (from.empty() || to.empty())
            status(n, PermissionDenied);
        else
            status(n, ::rename(from.c_str(), to.c_str()) == 0 ? Success : errorOf(errno));
        return;
    }
    case FileOpen: {
        const uint64_t mode = readU64(args, 0);
        const std::string local = path(args, 8);
        static const int flags[] = {0,
                                    O_RDONLY,
                                    O_RDWR | O_CREAT,
                                    O_WRONLY | O_CREAT | O_TRUNC,
                                    O_RDWR | O_CREAT | O_TRUNC,
                                    O_WRONLY | O_APPEND | O_CREAT,
                                    O_RDWR | O_APPEND | O_CREAT};
        if (local.empty() || args.size() < 9 || mode < 1 || mode > 6) {
            status(n, local.empty() ? PermissionDenied : InvalidArgument);
            return;
        }
        if (m_files.size() >= kMaxOpenFiles) {
            status(n, NoResources);
            return;
        }
        FdHandle fd(::open(local.c_str(), flags[mode] | O_CLOEXEC, 0644));
        if (!fd.valid()) {
            status(n, errorOf(errno));
            return;
        }
        const uint64_t handle = m_nextHandle++;
        m_files[handle] = std::move(fd);
        reply(n, FileOpenResult, u64Bytes(handle));
        return;
    }
    default:
        break;
    }
    // The remaining operations work on an open file.
    const uint64_t handle = readU64(args, 0);
    const auto file = m_files.find(handle);
    const bool handleOperation = packet.operation == FileRead || packet.operation == FileWrite ||
                                 packet.operation == FileSeek || packet.operation == FileTell ||
                                 packet.operation == FileClose || packet.operation == FileSetSize ||
                                 packet.operation == FileLock;
    if (!handleOperation) {
        status(n, NotSupported);
        return;
    }
    if (args.size() < 8 || file == m_files.end()) {
        status(n, InvalidArgument);
        return;
    }
    const int fd = file->second.get();
    switch (packet.operation) {
    case FileRead: {
        const uint64_t wanted = std::min(readU64(args, 8), kMaxRead);
        std::string data(wanted, '\0');
        const ssize_t got = ::read(fd, data.data(), data.size());
        if (got < 0) {
            status(n, errorOf(errno));
            return;
        }
        data.resize(size_t(got));
        reply(n, Data, data);
        return;
    }
    case FileWrite: {
        const ssize_t written = ::write(fd, packet.payload.data(), packet.payload.size());
        status(n, written == ssize_t(packet.payload.size()) ? Success : IoError);
        return;
    }
    case FileSeek: {
        const uint64_t whence = readU64(args, 8);
        const int64_t offset = int64_t(readU64(args, 16));
        const int how = whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : SEEK_SET;
        status(n, ::lseek(fd, offset, how) < 0 ? InvalidArgument : Success);
        return;
    }
    case FileTell:
        reply(n, FileTellResult, u64Bytes(uint64_t(::lseek(fd, 0, SEEK_CUR))));
        return;
    case FileSetSize:
        status(n, ::ftruncate(fd, off_t(readU64(args, 8))) == 0 ? Success : errorOf(errno));
        return;
    case FileLock: {
        // AFC_LOCK_SH = 5, AFC_LOCK_EX = 6, AFC_LOCK_UN = 12
        const uint64_t op = readU64(args, 8);
        const int how = (op & 8) ? LOCK_UN : (op & 2) ? LOCK_EX : LOCK_SH;
        status(n, ::flock(fd, how | LOCK_NB) == 0 ? Success : errorOf(errno));
        return;
    }
    case FileClose:
        m_files.erase(file);
        status(n, Success);
        return;
    default:
        status(n, NotSupported);
    }
}

} // namespace iphonesim
