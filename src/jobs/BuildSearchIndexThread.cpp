#include "jobs/BuildSearchIndexThread.h"

#include "search/MessageSearchIndex.h"

BuildSearchIndexThread::BuildSearchIndexThread(MessageSearchIndex& index, QObject* progressForm,
                                               QObject* parent)
    : JobThread(progressForm, parent), m_index(index)
{
}

JobMessage BuildSearchIndexThread::work(JobControl& control)
{
    m_index.prepare(control);
    return {};
}
