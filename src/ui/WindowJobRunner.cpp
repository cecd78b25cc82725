#include "ui/WindowJobRunner.h"

#include "jobs/JobThread.h"
#include "ui/ProgressForm.h"

void runJobModal(JobThread& job, ProgressForm& form)
{
    job.start(QThread::InheritPriority);
    // The job's reports are queued to the form, so a job that ends before the form shows is seen by exec.
    form.exec();
    form.waitForThread(&job, true);
}
