#pragma once

#include "device/Backup2Link.h"
#include "device/Backup2Options.h"
#include "device/DeviceHandles.h"
#include "plist/PlistCFType.h"

#include <QFile>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

class backup2tool;

// One conversation of the engine: connects to the device's mobilebackup2 service, sends the request and
// answers the device's DeviceLink messages until the device ends it. Handles are freed in the order the
// library expects: notification proxy, mobilebackup2 client, lockdown client, service descriptor, device.
class Backup2Conversation
{
public:
    Backup2Conversation(backup2tool& engine, const Backup2Options& options);
    ~Backup2Conversation();
    Backup2Conversation(const Backup2Conversation&) = delete;
    Backup2Conversation& operator=(const Backup2Conversation&) = delete;

    // The device's (or the engine's) result: 0 for success, else with the error text. Throws
    // std::runtime_error for failures of the connection and the protocol, JobCancelled after a cancel.
    int run(QString& errorText);

private:
    // A message handler's outcome: empty to go on, or the conversation's result.
    struct End
    {
        int result = 0;
        QString text;
    };
    using Outcome = std::optional<End>;

    void connect();
    void observePasscodePrompt(lockdownd_client_t lockdown);
    void sendRequest();
    Outcome dispatch(const QString& name, const PlistCFType& message);

    Outcome uploadFiles(const PlistCFType& message);
    // Reads one file's blocks to the end, writing them when the file is open; returns the disk-full end.
    Outcome receiveFile(const QString& backupPath, const QString& absolutePath, bool refused);
    void downloadFiles(const PlistCFType& message);
    // Sends one file; false when a cancel stopped it.
    bool sendFile(const QString& path, PlistCFType& failures, bool& failed);
    void contentsOfDirectory(const PlistCFType& message);
    void createDirectory(const PlistCFType& message);
    void moveItems(const PlistCFType& message);
    void removeItems(const PlistCFType& message);
    void copyItem(const PlistCFType& message);
    void freeDiskSpace();
    Outcome processMessage(const PlistCFType& message);

    // The absolute path for a device path, or empty with the refusal logged in error.
    QString resolve(const QString& devicePath, QString* error) const;
    void status(int code, const QString& description, const PlistCFType& payload, const char* failure);
    void report(const QString& text);

    backup2tool& m_engine;
    Backup2Options m_options;
    IdeviceHandle m_device;
    LockdownService m_service;
    LockdownClient m_lockdown;
    Mobilebackup2Client m_mb2;
    NotificationProxyClient m_np;
    std::unique_ptr<Backup2Link> m_link;
    QByteArray m_buffer; // reused for every block of file data
    // Folders below the root already found to be real folders; cleared when the device moves, copies
    // or removes anything.
    mutable QSet<QString> m_realFolders;
};
