#pragma once

#include "jobs/JobThread.h"
#include "jobs/LineDeviceMerge.h"

// The job that merges messages into a copy of an iPhone's LINE data (LineDeviceMerge) on this thread for
// the progress form; the caller then puts items() into the device's backup. Success closes the form
// without a message.
class IOSRestoreLineMsgThread : public JobThread
{
    Q_OBJECT

public:
    // Into lineCacheDir(device).
    IOSRestoreLineMsgThread(PDeviceInfo device, PAbsLineMsgsSource source, QObject* form,
                            QObject* parent = nullptr);
    // Into another copy of the device's LINE data (a backup's, say).
    IOSRestoreLineMsgThread(PDeviceInfo device, const QString& appRoot, PAbsLineMsgsSource source,
                            QObject* form, QObject* parent = nullptr);

    // Read after the thread finished.
    qint64 handledCount() const { return m_merge.handledCount(); }
    qint64 insertedCount() const { return m_merge.insertedCount(); }
    bool storeChanged() const { return m_merge.storeChanged(); }
    const QList<MergeItem>& items() const { return m_merge.items(); }

protected:
    JobMessage work(JobControl& control) override;
    JobMessage describeFailure(const QString& errorText) const override;

private:
    LineDeviceMerge m_merge;
};
