#pragma once

#include "jobs/JobThread.h"

#include <memory>

class AbsLineDb;
class DeviceLoadDialogs;
class _LineData;

// Loads a LINE database's users, chats and groups into a new data set (page size 5000) on this thread.
// A database error does not fail the job: it is kept in errorText() for the load operation below, which
// reports it once.
class LoadLineDbThread : public JobThread
{
    Q_OBJECT

public:
    LoadLineDbThread(std::shared_ptr<AbsLineDb> db, QObject* form, QObject* parent = nullptr);

    // Read after the thread finished.
    const std::shared_ptr<_LineData>& result() const { return m_result; }
    bool failed() const { return m_failed; }
    const QString& loadError() const { return m_loadError; }

    // The load operation of every front end: runs the job with the dialogs' progress, waits for it and
    // returns the data set; null after a cancel; throws std::runtime_error with the database's error.
    static std::shared_ptr<_LineData> load(const std::shared_ptr<AbsLineDb>& db, DeviceLoadDialogs& dialogs);

protected:
    JobMessage work(JobControl& control) override;

private:
    std::shared_ptr<AbsLineDb> m_db;
    std::shared_ptr<_LineData> m_result;
    bool m_failed = false;
    QString m_loadError;
};
