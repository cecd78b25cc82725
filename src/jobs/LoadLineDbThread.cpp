#include "jobs/LoadLineDbThread.h"

#include "app/JobControl.h"
#include "jobs/DeviceLoadDialogs.h"
#include "line/AbsLineDb.h"
#include "line/LineData.h"

#include <stdexcept>

namespace {
constexpr int LoadPageSize = 5000;
} // namespace

LoadLineDbThread::LoadLineDbThread(std::shared_ptr<AbsLineDb> db, QObject* form, QObject* parent)
    : JobThread(form, parent), m_db(std::move(db)), m_result(std::make_shared<_LineData>(m_db, LoadPageSize))
{
}

JobMessage LoadLineDbThread::work(JobControl& control)
{
    control.setStatus(tr("Loading..."), 99);
    m_failed = false;
    m_loadError.clear();
    try {
        m_db->loadContacts(m_result);
    } catch (const std::exception& error) {
        m_failed = true;
        m_loadError = QString::fromUtf8(error.what());
    }
    return JobMessage();
}

std::shared_ptr<_LineData> LoadLineDbThread::load(const std::shared_ptr<AbsLineDb>& db,
                                                  DeviceLoadDialogs& dialogs)
{
    LoadLineDbThread job(db, dialogs.progressForm());
    dialogs.runJob(job);
    if (job.cancelled())
        return nullptr;
    if (job.failed())
        throw std::runtime_error(job.loadError().toStdString());
    if (!job.succeeded())
        throw std::runtime_error(job.errorText().toStdString());
    return job.result();
}
