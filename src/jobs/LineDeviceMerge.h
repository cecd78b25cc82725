#pragma once

#include "backup/MergeItem.h"
#include "device/DeviceInfo.h"
#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class JobControl;

// Merges the messages of a source into a copy of an iPhone's LINE data (a folder mirroring LINE's app
// data, as the load job makes it) and lists the files that must go back into the device's backup: the
// message store with emptied "-wal" and "-shm" companions (replacing the backup's) when the merge changed
// it, and each merged message's attachment and thumbnail (added where missing). The store's domain follows
// the device's system: LINE keeps it in its app container up to iOS 7 and in its app group since.
class LineDeviceMerge
{
    Q_DECLARE_TR_FUNCTIONS(IOSRestoreLineMsgThread)

public:
    static inline const QString AppDomain = QStringLiteral("AppDomain-jp.naver.line");
    static inline const QString GroupDomain = QStringLiteral("AppDomainGroup-group.com.linecorp.line");

    // appRoot: the copy merged into; the device gives the system version and LINE's home on the device.
    LineDeviceMerge(PDeviceInfo device, const QString& appRoot, PAbsLineMsgsSource source);

    // Throws std::runtime_error (the store is then as it was) or JobCancelled.
    void run(JobControl& control);

    qint64 handledCount() const { return m_handled; }
    qint64 insertedCount() const { return m_inserted; }
    // Whether the merge changed a row of the store (else the backup's own store stays, and a phone that
    // has every message need not take it again).
    bool storeChanged() const { return m_storeChanged; }
    const QList<MergeItem>& items() const { return m_items; }

    // The domain of a file of LINE's data at this path below the app folder, on this device.
    static QString domainFor(const DeviceInfo& device, const QString& relativePath);
    // The domain of LINE's message store on this device.
    static QString storeDomain(const DeviceInfo& device);

private:
    void addMedia(const _LineMsg& message, const QString& accountPrefix);
    void addFile(const QString& localPath, const QString& relativePath, bool overwrite);

    PDeviceInfo m_device;
    QString m_appRoot;
    PAbsLineMsgsSource m_source;
    qint64 m_handled = 0;
    qint64 m_inserted = 0;
    bool m_storeChanged = false;
    QList<MergeItem> m_items;
};
