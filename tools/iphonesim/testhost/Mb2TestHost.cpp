#include "Mb2TestHost.h"

#include "Plist.h"

#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <libimobiledevice/mobilebackup2.h>

#include <arpa/inet.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

struct DeviceFree
{
    void operator()(idevice_private* device) const { idevice_free(device); }
    void operator()(lockdownd_client_private* client) const { lockdownd_client_free(client); }
    void operator()(lockdownd_service_descriptor* service) const
    {
        lockdownd_service_descriptor_free(service);
    }
    void operator()(mobilebackup2_client_private* client) const { mobilebackup2_client_free(client); }
};

constexpr uint8_t kCodeSuccess = 0x00;
constexpr uint8_t kCodeLocalError = 0x06;
constexpr uint8_t kCodeFileData = 0x0C;

class Conversation
{
public:
    Conversation(mobilebackup2_client_t client, const std::string& root, TestHostResult& result)
        : m_client(client), m_root(root), m_result(result), m_buffer(1 << 20)
    {
    }

    bool receiveExact(char* data, size_t length)
    {
        while (length > 0) {
            uint32_t got = 0;
            mobilebackup2_receive_raw(m_client, data, uint32_t(length), &got);
            if (got == 0)
                return false;
            data += got;
            length -= got;
        }
        return true;
    }

    bool sendExact(const char* data, size_t length)
    {
        while (length > 0) {
            uint32_t sent = 0;
            mobilebackup2_send_raw(m_client, data, uint32_t(length), &sent);
            if (sent == 0)
                return false;
            data += sent;
            length -= sent;
        }
        return true;
    }

    bool receiveLength(uint32_t& length)
    {
        if (!receiveExact(reinterpret_cast<char*>(&length), 4))
            return false;
        length = ntohl(length);
        return true;
    }

    void status(int64_t code, const char* description, plist_t payload)
    {
        mobilebackup2_send_status_response(m_client, int(code), description, payload);
    }

    std::string local(const std::string& path) const { return m_root + "/" + path; }

    // DLMessageUploadFiles: pairs of names, then the blocks of each file.
    bool receiveFiles()
    {
        for (;;) {
            uint32_t length = 0;
            if (!receiveLength(length))
                return false;
            if (length == 0)
                break;
            std::string devicePath(length, '\0');
            uint32_t backupLength = 0;
            if (length > 4096 || !receiveExact(devicePath.data(), length) || !receiveLength(backupLength) ||
                backupLength == 0 || backupLength > 4096)
                return false;
            std::string backupPath(backupLength, '\0');
            if (!receiveExact(backupPath.data(), backupLength))
                return false;
            std::ofstream out;
            if (!m_root.empty()) {
                std::error_code error;
                fs::create_directories(fs::path(local(backupPath)).parent_path(), error);
                out.open(local(backupPath), std::ios::binary | std::ios::trunc);
            }
            for (;;) {
                uint32_t blockLength = 0;
                char code = 0;
                if (!receiveLength(blockLength) || blockLength == 0 || !receiveExact(&code, 1))
                    return false;
                uint64_t remaining = blockLength - 1;
                while (remaining > 0) {
                    const size_t chunk = size_t(std::min<uint64_t>(remaining, m_buffer.size()));
                    if (!receiveExact(m_buffer.data(), chunk))
                        return false;
                    if (code == char(kCodeFileData)) {
                        m_result.bytesReceived += chunk;
                        if (out)
                            out.write(m_buffer.data(), std::streamsize(chunk));
                    }
                    remaining -= chunk;
                }
                if (code != char(kCodeFileData))
                    break; // success, or an error text from the device
            }
            ++m_result.filesReceived;
            m_result.receivedPaths.push_back(backupPath);
        }
        PlistPtr empty = newDict();
        status(0, nullptr, empty.get());
        return true;
    }

    // DLMessageDownloadFiles: each file back as blocks, a missing one as an error block.
    bool sendFiles(plist_t message, const std::string& substituteName, const std::string& substitute)
    {
        plist_t files = plist_array_get_item(message, 1);
        PlistPtr failures = newDict();
        bool failed = false;
        for (uint32_t i = 0; files && i < plist_array_get_size(files); ++i) {
            const std::string path = nodeString(plist_array_get_item(files, i)).value_or("");
            if (path.empty())
                continue;
            std::string block(4, '\0');
            const uint32_t length = htonl(uint32_t(path.size()));
            std::memcpy(block.data(), &length, 4);
            if (!sendExact(block.data(), 4) || !sendExact(path.data(), path.size()))
                return false;
            std::string source = m_root.empty() ? std::string() : local(path);
            if (!substituteName.empty() && fs::path(path).filename() == substituteName)
                source = (fs::path(local(path)).parent_path() / substitute).string();
            std::ifstream in(source, std::ios::binary);
            if (source.empty() || !in) {
                const char error[6] = {0, 0, 0, 1, char(kCodeLocalError)};
                if (!sendExact(error, 5))
                    return false;
                PlistPtr entry = newDict();
                dictSetString(entry.get(), "DLFileErrorString", "");
                dictSetUInt(entry.get(), "DLFileErrorCode", uint64_t(-6));
                dictSetNode(failures.get(), path.c_str(), std::move(entry));
                failed = true;
                continue;
            }
            for (;;) {
                in.read(m_buffer.data() + 5, 32768);
                const std::streamsize got = in.gcount();
                if (got <= 0)
                    break;
                const uint32_t blockLength = htonl(uint32_t(got + 1));
                std::memcpy(m_buffer.data(), &blockLength, 4);
                m_buffer[4] = char(kCodeFileData);
                if (!sendExact(m_buffer.data(), size_t(got) + 5))
                    return false;
            }
            const char success[5] = {0, 0, 0, 1, char(kCodeSuccess)};
            if (!sendExact(success, 5))
                return false;
            ++m_result.filesSent;
        }
        const char terminator[4] = {0, 0, 0, 0};
        if (!sendExact(terminator, 4))
            return false;
        if (failed) {
            status(-13, "Multi status", failures.get());
        } else {
            PlistPtr empty = newDict();
            status(0, nullptr, empty.get());
        }
        return true;
    }

    void listDirectory(plist_t message, const std::set<std::string>& hidden)
    {
        const std::string path = nodeString(plist_array_get_item(message, 1)).value_or("");
        PlistPtr entries = newDict();
        std::error_code error;
        if (!m_root.empty()) {
            for (const auto& entry : fs::directory_iterator(local(path), error)) {
                const std::string name = entry.path().filename().string();
                if (hidden.count(name))
                    continue;
                PlistPtr info = newDict();
                const bool directory = entry.is_directory(error);
                dictSetString(info.get(), "DLFileType",
                              directory ? "DLFileTypeDirectory" : "DLFileTypeRegular");
                dictSetUInt(info.get(), "DLFileSize", directory ? 0 : entry.file_size(error));
                dictSetDate(info.get(), "DLFileModificationDate", 0);
                dictSetNode(entries.get(), name.c_str(), std::move(info));
            }
        }
        status(0, nullptr, entries.get());
    }

    void moveItems(plist_t message)
    {
        std::error_code error;
        for (const auto& [from, to] : dictItems(plist_array_get_item(message, 1))) {
            const auto target = nodeString(to);
            if (m_root.empty() || !target || !fs::exists(local(from), error))
                continue;
            fs::remove_all(local(*target), error);
            fs::create_directories(fs::path(local(*target)).parent_path(), error);
            fs::rename(local(from), local(*target), error);
        }
        PlistPtr empty = newDict();
        status(error ? -1 : 0, error ? error.message().c_str() : nullptr, empty.get());
    }

    void removeItems(plist_t message)
    {
        plist_t paths = plist_array_get_item(message, 1);
        std::error_code error;
        for (uint32_t i = 0; !m_root.empty() && paths && i < plist_array_get_size(paths); ++i) {
            const auto path = nodeString(plist_array_get_item(paths, i));
            if (path)
                fs::remove_all(local(*path), error);
        }
        PlistPtr empty = newDict();
        status(0, nullptr, empty.get());
    }

private:
    mobilebackup2_client_t m_client;
    std::string m_root;
    TestHostResult& m_result;
    std::vector<char> m_buffer;
};

} // namespace

Mb2TestHost::Mb2TestHost(std::string udid, std::string backupRoot)
    : m_udid(std::move(udid)), m_root(std::move(backupRoot))
{
}

TestHostResult Mb2TestHost::backup(bool forceFull)
{
    return converse("Backup", forceFull, false, true, true, false);
}

TestHostResult Mb2TestHost::restore(bool systemFiles, bool preserveSettings, bool reboot,
                                    bool removeNotRestored)
{
    return converse("Restore", false, systemFiles, preserveSettings, reboot, removeNotRestored);
}

TestHostResult Mb2TestHost::converse(const char* request, bool forceFull, bool systemFiles,
                                     bool preserveSettings, bool reboot, bool removeNotRestored)
{
    TestHostResult result;
    idevice_t rawDevice = nullptr;
    if (idevice_new_with_options(&rawDevice, m_udid.c_str(), IDEVICE_LOOKUP_USBMUX) != IDEVICE_E_SUCCESS) {
        result.failure = "no device";
        return result;
    }
    std::unique_ptr<idevice_private, DeviceFree> device(rawDevice);
    lockdownd_client_t rawLockdown = nullptr;
    if (lockdownd_client_new_with_handshake(device.get(), &rawLockdown, "iphonesim-test") !=
        LOCKDOWN_E_SUCCESS) {
        result.failure = "lockdown handshake failed";
        return result;
    }
    std::unique_ptr<lockdownd_client_private, DeviceFree> lockdown(rawLockdown);
    lockdownd_service_descriptor_t rawService = nullptr;
    const lockdownd_error_t started =
        lockdownd_start_service_with_escrow_bag(lockdown.get(), MOBILEBACKUP2_SERVICE_NAME, &rawService);
    std::unique_ptr<lockdownd_service_descriptor, DeviceFree> service(rawService);
    lockdown.reset();
    if (started != LOCKDOWN_E_SUCCESS || !service || service->port == 0) {
        result.failure = "cannot start mobilebackup2";
        return result;
    }
    mobilebackup2_client_t rawClient = nullptr;
    if (mobilebackup2_client_new(device.get(), service.get(), &rawClient) != MOBILEBACKUP2_E_SUCCESS) {
        result.failure = "cannot connect to mobilebackup2";
        return result;
    }
    std::unique_ptr<mobilebackup2_client_private, DeviceFree> client(rawClient);
    double versions[2] = {2.0, 2.1};
    double remote = 0;
    if (mobilebackup2_version_exchange(client.get(), versions, 2, &remote) != MOBILEBACKUP2_E_SUCCESS) {
        result.failure = "version exchange failed";
        return result;
    }
    PlistPtr options = newDict();
    if (std::strcmp(request, "Backup") == 0) {
        if (forceFull)
            dictSetBool(options.get(), "ForceFullBackup", true);
    } else {
        dictSetBool(options.get(), "RestoreSystemFiles", systemFiles);
        dictSetBool(options.get(), "RestorePreserveSettings", preserveSettings);
        dictSetBool(options.get(), "RestoreShouldReboot", reboot);
        dictSetBool(options.get(), "RestoreDontCopyBackup", true);
        dictSetBool(options.get(), "RemoveItemsNotRestored", removeNotRestored);
    }
    if (mobilebackup2_send_request(client.get(), request, m_udid.c_str(), m_udid.c_str(), options.get()) !=
        MOBILEBACKUP2_E_SUCCESS) {
        result.failure = "request not sent";
        return result;
    }

    Conversation conversation(client.get(), m_root, result);
    int timeouts = 0;
    for (;;) {
        plist_t rawMessage = nullptr;
        char* rawName = nullptr;
        const mobilebackup2_error_t error =
            mobilebackup2_receive_message(client.get(), &rawMessage, &rawName);
        PlistPtr message(rawMessage);
        const std::string name = rawName ? rawName : "";
        std::free(rawName);
        if (error == MOBILEBACKUP2_E_RECEIVE_TIMEOUT && ++timeouts < 10)
            continue;
        if (error != MOBILEBACKUP2_E_SUCCESS) {
            result.connectionLost = true;
            break;
        }
        result.messages.push_back(name);
        bool ok = true;
        if (name == "DLMessageUploadFiles") {
            ok = conversation.receiveFiles();
        } else if (name == "DLMessageDownloadFiles") {
            ok = conversation.sendFiles(message.get(), m_substituteName, m_substitute);
        } else if (name == "DLMessageGetFreeDiskSpace") {
            PlistPtr space(plist_new_uint(m_freeSpace));
            conversation.status(0, nullptr, space.get());
        } else if (name == "DLContentsOfDirectory") {
            conversation.listDirectory(message.get(), m_hidden);
        } else if (name == "DLMessageCreateDirectory") {
            const std::string path = nodeString(plist_array_get_item(message.get(), 1)).value_or("");
            std::error_code ignored;
            if (!m_root.empty() && !path.empty())
                fs::create_directories(conversation.local(path), ignored);
            conversation.status(0, nullptr, nullptr);
        } else if (name == "DLMessageMoveItems" || name == "DLMessageMoveFiles") {
            conversation.moveItems(message.get());
        } else if (name == "DLMessageRemoveItems" || name == "DLMessageRemoveFiles") {
            conversation.removeItems(message.get());
        } else if (name == "DLMessagePurgeDiskSpace") {
            PlistPtr empty = newDict();
            conversation.status(m_purgeStatus, nullptr, empty.get());
        } else if (name == "DLMessageProcessMessage") {
            plist_t reply = plist_array_get_item(message.get(), 1);
            result.finished = true;
            result.errorCode = dictUInt(reply, "ErrorCode").value_or(0);
            result.errorDescription = dictString(reply, "ErrorDescription").value_or("");
            break;
        } else if (name == "DLMessageDisconnect") {
            break;
        } else {
            result.failure = "unexpected message " + name;
            break;
        }
        if (!ok) {
            result.connectionLost = true;
            break;
        }
    }
    return result;
}

} // namespace iphonesim
