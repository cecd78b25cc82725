#pragma once

#include "jobs/JobThread.h"

class MessageSearchIndex;

// Makes a message search index ready on this thread for the progress form: opens it when current, else
// builds it with progress. Says nothing on success (the search that follows is the result).
class BuildSearchIndexThread : public JobThread
{
    Q_OBJECT

public:
    BuildSearchIndexThread(MessageSearchIndex& index, QObject* progressForm, QObject* parent = nullptr);

protected:
    JobMessage work(JobControl& control) override;

private:
    MessageSearchIndex& m_index;
};
