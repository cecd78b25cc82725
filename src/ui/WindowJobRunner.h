#pragma once

class JobThread;
class ProgressForm;
class QWidget;

// Runs a job the way every window action does: the job reports to form, which is shown modally until
// the job ended or the user cancelled; then the job's thread is waited for (and stopped when it does not
// honour a cancel).
void runJobModal(JobThread& job, ProgressForm& form);
