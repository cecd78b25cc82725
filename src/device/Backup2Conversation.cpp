#include "device/Backup2Conversation.h"

#include "app/JobControl.h"
#include "device/Backup2ErrorText.h"
#include "device/DeviceBackupPath.h"
#include "device/DeviceLockdown.h"
#include "device/backup2tool.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QtEndian>
#include <stdexcept>

namespace {

// Data bytes per block the engine sends.
constexpr qint64 kSendBlock = 32768;
// Bytes read from the connection at once while a file arrives.
constexpr qint64 kReceiveChunk = 1 << 20;
// A block's length and code byte.
constexpr quint32 kBlockHeader = 5;
constexpr int kRefused = -1; // status code of a request refused for its path

const char* const kPasscodePresented = "com.apple.LocalAuthentication.ui.presented";
const char* const kPasscodeDismissed = "com.apple.LocalAuthentication.ui.dismissed";

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

QString lastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Status codes of move and copy: errno-like results become negative, with two of them renumbered.
int mappedResult(int result)
{
    if (result == 2)
        return -6;
    if (result == 17)
        return -7;
    return -result;
}

// Whether a failed write ran out of disk space.
bool isDiskFull(const QFile& file, qint64 wanted)
{
    if (file.error() == QFileDevice::ResourceError)
        return true;
    const QStorageInfo volume(QFileInfo(file.fileName()).absolutePath());
    return volume.isValid() && volume.bytesAvailable() >= 0 && volume.bytesAvailable() < wanted;
}

} // namespace

Backup2Conversation::Backup2Conversation(backup2tool& engine, const Backup2Options& options)
    : m_engine(engine), m_options(options)
{
}

Backup2Conversation::~Backup2Conversation() = default;

QString Backup2Conversation::resolve(const QString& devicePath, QString* error) const
{
    const QString absolute = DeviceBackupPath::resolve(m_engine.m_root, devicePath, error, &m_realFolders);
    if (absolute.isEmpty() && error)
        qWarning("backup2tool: %s", qUtf8Printable(*error));
    return absolute;
}

void Backup2Conversation::report(const QString& text)
{
    m_engine.report(text);
}

void Backup2Conversation::status(int code, const QString& description, const PlistCFType& payload,
                                 const char* failure)
{
    const int result = m_link->sendStatus(code, description, payload);
    if (result != MOBILEBACKUP2_E_SUCCESS)
        fail(QString::fromLatin1(failure).arg(result));
}

void Backup2Conversation::observePasscodePrompt(lockdownd_client_t lockdown)
{
    lockdownd_service_descriptor_t rawService = nullptr;
    if (lockdownd_start_service(lockdown, NP_SERVICE_NAME, &rawService) != LOCKDOWN_E_SUCCESS || !rawService)
        return;
    const LockdownService service(rawService);
    np_client_t client = nullptr;
    if (service->port == 0 || np_client_new(m_device.get(), service.get(), &client) != NP_E_SUCCESS)
        return;
    m_np.reset(client);
    np_set_notify_callback(client, &backup2tool::onNotification, &m_engine);
    const char* names[] = {kPasscodePresented, kPasscodeDismissed, nullptr};
    np_observe_notifications(client, names);
}

void Backup2Conversation::connect()
{
    const QByteArray udid = m_engine.m_udid.toLatin1();
    idevice_t device = nullptr;
    if (!isValidUdid(m_engine.m_udid) ||
        idevice_new_with_options(&device, udid.constData(), IDEVICE_LOOKUP_USBMUX) != IDEVICE_E_SUCCESS)
        fail(QStringLiteral("backup2tool: No device found. Please restart your iPhone to try again."));
    m_device.reset(device);
    lockdownd_client_t client = nullptr;
    const lockdownd_error_t handshake =
        lockdownd_client_new_with_handshake(device, &client, kDeviceClientLabel);
    if (handshake != LOCKDOWN_E_SUCCESS)
        fail(QStringLiteral(
                 "backup2tool: open device failed, return %1. Please restart your iPhone to try again.")
                 .arg(int(handshake)));
    m_lockdown.reset(client);
    if (m_options.op == Backup2Options::Backup) {
        QDir().mkpath(m_engine.m_backupDir.absolutePath());
        observePasscodePrompt(client);
    }
    lockdownd_service_descriptor_t service = nullptr;
    const lockdownd_error_t started =
        lockdownd_start_service_with_escrow_bag(client, MOBILEBACKUP2_SERVICE_NAME, &service);
    m_service.reset(service);
    m_lockdown.reset();
    if (started != LOCKDOWN_E_SUCCESS || !service || service->port == 0)
        fail(QStringLiteral("backup2tool: start service com.apple.mobilebackup2 failed. Please restart your "
                            "iPhone to try again."));
    mobilebackup2_client_t mb2 = nullptr;
    const mobilebackup2_error_t created = mobilebackup2_client_new(device, service, &mb2);
    m_service.reset();
    if (created != MOBILEBACKUP2_E_SUCCESS || !mb2)
        fail(QStringLiteral("backup2tool: start service com.apple.mobilebackup2 failed (%1). Please restart "
                            "your iPhone to try again.")
                 .arg(int(created)));
    m_mb2.reset(mb2);
    m_link = std::make_unique<Backup2Link>(mb2);
    double versions[] = {2.0, 2.1};
    double remote = 0;
    const mobilebackup2_error_t exchanged = mobilebackup2_version_exchange(mb2, versions, 2, &remote);
    if (exchanged != MOBILEBACKUP2_E_SUCCESS)
        fail(QStringLiteral("Could not perform backup protocol version exchange, error code %1")
                 .arg(int(exchanged)));
}

void Backup2Conversation::sendRequest()
{
    const QByteArray udid = m_engine.m_udid.toLocal8Bit();
    const bool backup = m_options.op == Backup2Options::Backup;
    mobilebackup2_error_t result = MOBILEBACKUP2_E_SUCCESS;
    if (backup) {
        result =
            mobilebackup2_send_request(m_mb2.get(), "Backup", udid.constData(), udid.constData(), nullptr);
    } else if (m_options.op == Backup2Options::Restore) {
        PlistCFType options = PlistCFType::newDict();
        options.setValue(QStringLiteral("RestoreSystemFiles"),
                         PlistCFType::newBool(m_options.restoreSystemFiles));
        options.setValue(QStringLiteral("RestorePreserveSettings"),
                         PlistCFType::newBool(m_options.restorePreserveSettings));
        if (!m_options.compact) {
            options.setValue(QStringLiteral("RestoreShouldReboot"),
                             PlistCFType::newBool(m_options.restoreShouldReboot));
            options.setValue(QStringLiteral("RestoreDontCopyBackup"),
                             PlistCFType::newBool(m_options.restoreDontCopyBackup));
            options.setValue(QStringLiteral("RemoveItemsNotRestored"),
                             PlistCFType::newBool(m_options.removeItemsNotRestored));
        } else {
            if (!m_options.restoreShouldReboot)
                options.setValue(QStringLiteral("RestoreShouldReboot"), PlistCFType::newBool(false));
            if (m_options.restoreDontCopyBackup)
                options.setValue(QStringLiteral("RestoreDontCopyBackup"), PlistCFType::newBool(true));
            if (m_options.removeItemsNotRestored)
                options.setValue(QStringLiteral("RemoveItemsNotRestored"), PlistCFType::newBool(true));
        }
        if (!m_options.password.isEmpty())
            options.setValue(QStringLiteral("Password"), PlistCFType::newString(m_options.password));
        result = mobilebackup2_send_request(m_mb2.get(), "Restore", udid.constData(), udid.constData(),
                                            options.node());
    } else {
        fail(QStringLiteral("backup2tool: invalid op."));
    }
    if (result == MOBILEBACKUP2_E_SUCCESS)
        return;
    if (result == MOBILEBACKUP2_E_REPLY_NOT_OK)
        fail(backup ? QStringLiteral("Please restart your iPhone to try again. ERROR: Could not start backup "
                                     "process: device refused to start the backup process.")
                    : QStringLiteral("ERROR: Could not start restore process: device refused to start the "
                                     "restore process. Please restart your iPhone to try again."));
    if (result == MOBILEBACKUP2_E_BAD_VERSION)
        fail(backup
                 ? QStringLiteral("ERROR: Could not start backup process: backup protocol version mismatch!")
                 : QStringLiteral(
                       "ERROR: Could not start restore process: backup protocol version mismatch!"));
    fail(backup ? QStringLiteral("Please restart your iPhone to try again. ERROR: Could not start backup "
                                 "process: unspecified error occurred")
                : QStringLiteral("ERROR: Could not start restore process: unspecified error occurred. Please "
                                 "restart your iPhone to try again."));
}

int Backup2Conversation::run(QString& errorText)
{
    connect();
    sendRequest();
    static const QSet<QString> progressAt3 = {
        QStringLiteral("DLMessageDownloadFiles"), QStringLiteral("DLMessageMoveFiles"),
        QStringLiteral("DLMessageMoveItems"), QStringLiteral("DLMessageRemoveFiles"),
        QStringLiteral("DLMessageRemoveItems")};
    for (;;) {
        if (m_engine.isCancelled())
            throw JobCancelled();
        report(backup2tool::tr("This may take a few minutes. Please wait..."));
        plist_t rawMessage = nullptr;
        char* rawName = nullptr;
        const mobilebackup2_error_t received =
            mobilebackup2_receive_message(m_mb2.get(), &rawMessage, &rawName);
        const PlistCFType message(rawMessage, true);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        free(rawName);
        if (received == MOBILEBACKUP2_E_RECEIVE_TIMEOUT)
            continue;
        if (received != MOBILEBACKUP2_E_SUCCESS) {
            const QString text =
                QStringLiteral(
                    "ERROR: Could not receive from mobilebackup2 (%1). Please restart your iPhone to "
                    "try again.")
                    .arg(int(received));
            // Nothing more can come from a closed connection.
            if (received == MOBILEBACKUP2_E_MUX_ERROR || received == MOBILEBACKUP2_E_UNKNOWN_ERROR)
                fail(QStringLiteral("Connection to device lost. ") + text);
            fail(text);
        }
        const int progressIndex =
            progressAt3.contains(name) ? 3 : (name == QLatin1String("DLMessageUploadFiles") ? 2 : -1);
        if (progressIndex > 0) {
            const double progress = message.at(progressIndex).getDouble();
            if (progress > 0)
                m_engine.m_progress = progress;
        }
        int result = 0;
        QString hookText;
        if (!m_engine.m_hook->onMessage(m_engine.m_root, m_engine.m_udid, message, result, hookText)) {
            errorText = hookText;
            return result;
        }
        if (const Outcome end = dispatch(name, message)) {
            errorText = end->text;
            return end->result;
        }
    }
}

Backup2Conversation::Outcome Backup2Conversation::dispatch(const QString& name, const PlistCFType& message)
{
    if (name == QLatin1String("DLMessageUploadFiles"))
        return uploadFiles(message);
    if (name == QLatin1String("DLMessageDownloadFiles"))
        downloadFiles(message);
    else if (name == QLatin1String("DLMessageGetFreeDiskSpace"))
        freeDiskSpace();
    else if (name == QLatin1String("DLContentsOfDirectory"))
        contentsOfDirectory(message);
    else if (name == QLatin1String("DLMessageCreateDirectory"))
        createDirectory(message);
    else if (name == QLatin1String("DLMessageMoveFiles") || name == QLatin1String("DLMessageMoveItems"))
        moveItems(message);
    else if (name == QLatin1String("DLMessageRemoveFiles") || name == QLatin1String("DLMessageRemoveItems"))
        removeItems(message);
    else if (name == QLatin1String("DLMessageCopyItem"))
        copyItem(message);
    else if (name == QLatin1String("DLMessageDisconnect")) {
        // A backup counts only when the device got as far as marking it finished.
        if (m_options.op == Backup2Options::Backup) {
            const PlistCFType status =
                PlistCFType::fromFile(m_engine.m_backupDir.filePath(QStringLiteral("Status.plist")));
            if (status.value(QStringLiteral("SnapshotState")).getString() != QLatin1String("finished"))
                return End{1, QStringLiteral("The device ended the backup before it was finished.")};
        }
        return End{0, QString()};
    } else if (name == QLatin1String("DLMessageProcessMessage"))
        return processMessage(message);
    else if (name == QLatin1String("DLMessagePurgeDiskSpace"))
        return End{Backup2ErrorText::kDiskFull,
                   QStringLiteral("Error: DLMessagePurgeDiskSpace(Insufficient free disk space).")};
    else
        fail(QStringLiteral("Message cannot be handled: %1").arg(name));
    return std::nullopt;
}

Backup2Conversation::Outcome Backup2Conversation::uploadFiles(const PlistCFType& message)
{
    const qint64 total = message.at(3).getInt64();
    report(backup2tool::tr("Receiving files (size: %1)...").arg(Backup2ErrorText::sizeText(total)));
    const auto stillWanted = [this] {
        if (m_engine.isCancelled())
            throw JobCancelled();
        return true;
    };
    QStringList errors;
    bool refusedAny = false;
    for (;;) {
        // A device path is always followed by the backup path's length, a backup path by the file's first
        // block: both are read with the name before them.
        const QString devicePath = m_link->receiveName(stillWanted, 4);
        if (devicePath.isEmpty())
            break;
        const QString backupPath = m_link->receiveName(stillWanted, kBlockHeader);
        if (backupPath.isEmpty())
            break;
        QString refusal;
        const QString absolute = resolve(backupPath, &refusal);
        if (absolute.isEmpty()) {
            refusedAny = true;
            errors << refusal;
        } else {
            m_engine.m_hook->fileIncoming(m_engine.m_root, m_engine.m_udid, backupPath, devicePath);
        }
        if (Outcome end = receiveFile(backupPath, absolute, absolute.isEmpty()))
            return end;
        // A file is always read to its end; a cancel takes effect between files.
        if (m_engine.isCancelled())
            throw JobCancelled();
    }
    status(refusedAny ? kRefused : 0, errors.join(QLatin1Char('\n')), PlistCFType::newDict(),
           "Error attaching to device. Please Keep your iPhone connected and active. "
           "backup2tool::recvFilesThrow, "
           "Could not send status response, error %1");
    return std::nullopt;
}

Backup2Conversation::Outcome Backup2Conversation::receiveFile(const QString& backupPath,
                                                              const QString& absolutePath, bool refused)
{
    static const char* const kNullData = "Error attaching to device. Please Keep your iPhone connected and "
                                         "active. backup2tool::recvFileThrow: "
                                         "recv null data.";
    QFile file(absolutePath);
    QString errorText;
    int writeError = QFileDevice::NoError;
    bool diskFull = false;
    if (!refused)
        writeError = m_engine.m_hook->openForWrite(m_engine.m_root, backupPath, file, errorText);
    // Room for a chunk and the next block's header read with it.
    if (m_buffer.size() < kReceiveChunk + kBlockHeader)
        m_buffer.resize(kReceiveChunk + kBlockHeader);
    qint64 received = 0;
    char previous = -1;
    char header[kBlockHeader];
    // The first block's header was read with the file's name.
    m_link->receiveExact(header, kBlockHeader, kNullData);
    for (;;) {
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length == 0)
            fail(QString::fromLatin1(kNullData));
        const char code = header[4];
        qint64 remaining = qint64(length) - 1;
        if (code == Backup2Link::kCodeSuccess) {
            while (remaining > 0) { // a success block carries nothing; anything extra is skipped
                const qint64 chunk = qMin(remaining, kReceiveChunk);
                m_link->receiveExact(m_buffer.data(), quint32(chunk), kNullData);
                remaining -= chunk;
            }
            break;
        }
        if (code == Backup2Link::kCodeRemoteError) {
            QByteArray text;
            while (remaining > 0) {
                const qint64 chunk = qMin(remaining, kReceiveChunk);
                m_link->receiveExact(m_buffer.data(), quint32(chunk), kNullData);
                if (text.size() < 4096)
                    text.append(m_buffer.constData(), qMin<qint64>(chunk, 4096 - text.size()));
                remaining -= chunk;
            }
            // After data, the device's error ends the file as it is.
            if (previous == Backup2Link::kCodeFileData)
                break;
            fail(QStringLiteral("Please restart your iPhone to try again. backup2tool::recvFileThrow: remote "
                                "error. %1")
                     .arg(QString::fromUtf8(text)));
        }
        if (code != Backup2Link::kCodeFileData)
            fail(QStringLiteral("backup2tool::recvFileThrow: invalid code %1.").arg(int(quint8(code))));
        received += remaining;
        while (remaining > 0) {
            const qint64 chunk = qMin(remaining, kReceiveChunk);
            // Data is always followed by another block: its header comes with the data's last part.
            const bool last = chunk == remaining;
            m_link->receiveExact(m_buffer.data(), quint32(chunk), kNullData, last ? kBlockHeader : 0);
            remaining -= chunk;
            if (file.isOpen() && writeError == QFileDevice::NoError) {
                if (file.write(m_buffer.constData(), chunk) != chunk) {
                    diskFull = isDiskFull(file, chunk);
                    writeError =
                        file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error();
                    errorText = file.errorString();
                    // The rest of the file is still read, so the conversation stays in step.
                    file.close();
                }
            }
        }
        previous = code;
        // Usually read ahead with the data already (an empty data block read nothing ahead).
        m_link->receiveExact(header, kBlockHeader, kNullData);
    }
    if (file.isOpen())
        file.close();
    if (refused)
        return std::nullopt;
    m_engine.m_hook->fileReceived(m_engine.m_root, backupPath, received);
    if (writeError == QFileDevice::NoError)
        return std::nullopt;
    const QString text =
        QStringLiteral("backup2tool::recvFileThrow: Write %1 failed. %2").arg(absolutePath, errorText);
    if (diskFull)
        return End{Backup2ErrorText::kDiskFull, QStringLiteral("Insufficient free disk space. ") + text};
    fail(text);
}

void Backup2Conversation::downloadFiles(const PlistCFType& message)
{
    PlistCFType failures = PlistCFType::newDict();
    bool failed = false;
    for (const PlistCFType& item : message.at(1).items()) {
        if (m_engine.isCancelled())
            return;
        const QString path = item.getString();
        if (path.isEmpty())
            continue;
        report(backup2tool::tr("Sending %1 to device...").arg(lastComponent(path)));
        if (!sendFile(path, failures, failed))
            return;
    }
    m_link->sendTerminator("backup2tool::sendFilesThrow: send terminator failed.");
    if (failed)
        status(-13, QStringLiteral("Multi status"), failures,
               "backup2tool::sendFilesThrow: Could not send status response, error %1.");
    else
        status(0, QString(), PlistCFType::newDict(),
               "backup2tool::sendFilesThrow: Could not send status response, error %1.");
}

bool Backup2Conversation::sendFile(const QString& path, PlistCFType& failures, bool& failed)
{
    const QByteArray context =
        QStringLiteral("backup2tool::sendFileThrow: send path(%1) failed.").arg(path).toUtf8();
    m_link->sendName(path, context.constData());
    QString refusal;
    QString local = resolve(path, &refusal);
    const QString name = lastComponent(path);
    if (!local.isEmpty() && !m_engine.m_manifestDbSubstitute.isEmpty() &&
        name.compare(QLatin1String("Manifest.db"), Qt::CaseInsensitive) == 0)
        local = m_engine.m_backupDir.filePath(m_engine.m_manifestDbSubstitute);
    const auto sendFailure = [&](int code, const QString& text) {
        PlistCFType failure = PlistCFType::newDict();
        failure.setValue(QStringLiteral("DLFileErrorString"), PlistCFType::newString(text));
        failure.setValue(QStringLiteral("DLFileErrorCode"), PlistCFType::newInt(code));
        failures.setValue(path, failure);
        failed = true;
        const QByteArray bytes = text.toUtf8();
        m_link->sendBlock(Backup2Link::kCodeLocalError, bytes.constData(), quint32(bytes.size()),
                          "backup2tool::sendFileThrow: send error string failed.");
        return true;
    };
    if (local.isEmpty())
        return sendFailure(kRefused, refusal);
    const QFileInfo info(local);
    if (!info.isFile()) {
        m_engine.m_extraErrorText = QStringLiteral("%1 not exists.").arg(name);
        return sendFailure(-6, QString());
    }
    if (info.size() > 0) {
        QFile file(local);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("backup2tool::sendFileThrow: cannot open %1. %2")
                     .arg(name, file.errorString()));
        if (m_buffer.size() < kSendBlock + 5)
            m_buffer.resize(kSendBlock + 5);
        while (!file.atEnd()) {
            if (m_engine.isCancelled())
                return false;
            const qint64 got = file.read(m_buffer.data() + 5, kSendBlock);
            if (got <= 0)
                fail(QStringLiteral("backup2tool::sendFileThrow: cannot read %1. %2")
                         .arg(name, file.errorString()));
            qToBigEndian(quint32(got + 1), m_buffer.data());
            m_buffer[4] = Backup2Link::kCodeFileData;
            m_link->sendAll(m_buffer.constData(), quint32(got + 5),
                            "backup2tool::sendFileThrow: send buf failed.");
        }
    }
    const char success = Backup2Link::kCodeSuccess;
    m_link->sendBlock(success, nullptr, 0, "backup2tool::sendFileThrow: send status failed.");
    return true;
}

void Backup2Conversation::contentsOfDirectory(const PlistCFType& message)
{
    const QString path = message.at(1).getString();
    if (path.isEmpty())
        fail(QStringLiteral("ERROR: Malformed DLContentsOfDirectory message"));
    const char* failure = "backup2tool::sendDirContentsThrow, Could not send status response, error %1";
    QString refusal;
    if (resolve(path, &refusal).isEmpty()) {
        status(kRefused, refusal, PlistCFType::newDict(), failure);
        return;
    }
    PlistCFType listing = PlistCFType::newDict();
    for (const Backup2DirEntry& entry : m_engine.m_hook->listDirectory(m_engine.m_root, path)) {
        PlistCFType item = PlistCFType::newDict();
        item.setValue(QStringLiteral("DLFileType"),
                      PlistCFType::newString(entry.type == Backup2DirEntry::Directory
                                                 ? QStringLiteral("DLFileTypeDirectory")
                                                 : QStringLiteral("DLFileTypeRegular")));
        item.setValue(QStringLiteral("DLFileSize"),
                      PlistCFType::newUInt(quint64(qMax<qint64>(entry.size, 0))));
        item.setValue(QStringLiteral("DLFileModificationDate"), PlistCFType::newDate(entry.mtime));
        listing.setValue(entry.name, item);
    }
    status(0, QString(), listing, failure);
}

void Backup2Conversation::createDirectory(const PlistCFType& message)
{
    const char* failure = "backup2tool::createDirectoryThrow: Could not send status response, error %1.";
    QString refusal;
    const QString path = message.at(1).getString();
    if (resolve(path, &refusal).isEmpty()) {
        status(kRefused, refusal, PlistCFType(), failure);
        return;
    }
    m_engine.m_hook->makeDirectory(m_engine.m_root, path);
    status(0, QString(), PlistCFType(), failure);
}

void Backup2Conversation::moveItems(const PlistCFType& message)
{
    m_realFolders.clear();
    int result = 0;
    QString errorText;
    for (const auto& [from, target] : message.at(1).entries()) {
        const QString to = target.getString();
        if (from.isEmpty() || to.isEmpty())
            continue;
        if (resolve(from, &errorText).isEmpty() || resolve(to, &errorText).isEmpty()) {
            result = -kRefused;
            break;
        }
        result = m_engine.m_hook->move(m_engine.m_root, from, to, errorText);
        if (result != 0)
            break;
    }
    status(mappedResult(result), errorText, PlistCFType::newDict(),
           "backup2tool::moveFilesThrow: Could not send status response, error %1.");
}

void Backup2Conversation::removeItems(const PlistCFType& message)
{
    m_realFolders.clear();
    QStringList errors;
    bool refusedAny = false;
    for (const PlistCFType& item : message.at(1).items()) {
        const QString path = item.getString();
        if (path.isEmpty())
            continue;
        QString errorText;
        if (resolve(path, &errorText).isEmpty()) {
            refusedAny = true;
        } else {
            m_engine.m_hook->remove(m_engine.m_root, path, errorText);
        }
        if (!errorText.isEmpty())
            errors << errorText;
    }
    status(refusedAny ? kRefused : 0, errors.join(QLatin1Char('\n')), PlistCFType::newDict(),
           "backup2tool::removeFilesThrow: Could not send status response, error %1.");
}

void Backup2Conversation::copyItem(const PlistCFType& message)
{
    m_realFolders.clear();
    const QString from = message.at(1).getString();
    const QString to = message.at(2).getString();
    if (from.isEmpty() || to.isEmpty())
        fail(QStringLiteral("backup2tool::copyItemThrow: invalid message."));
    const char* failure = "backup2tool::copyItemThrow: Could not send status response, error %1.";
    QString errorText;
    if (resolve(from, &errorText).isEmpty() || resolve(to, &errorText).isEmpty()) {
        status(kRefused, errorText, PlistCFType::newDict(), failure);
        return;
    }
    const int result = m_engine.m_hook->copy(m_engine.m_root, from, to, errorText);
    status(mappedResult(result), errorText, PlistCFType::newDict(), failure);
}

void Backup2Conversation::freeDiskSpace()
{
    status(0, QString(), PlistCFType::newUInt(backup2tool::kReportedFreeSpace),
           "backup2tool::freeDiskSpaceThrow: Could not send status response, error %1.");
}

Backup2Conversation::Outcome Backup2Conversation::processMessage(const PlistCFType& message)
{
    const PlistCFType reply = message.at(1);
    End end;
    end.result = int(reply.value(QStringLiteral("ErrorCode")).getInt64());
    end.text = reply.value(QStringLiteral("ErrorDescription")).getString();
    if (end.text.isEmpty())
        end.text = reply.value(QStringLiteral("Content")).getString();
    if (!m_engine.m_extraErrorText.isEmpty())
        end.text += QLatin1Char(' ') + m_engine.m_extraErrorText;
    return end;
}
