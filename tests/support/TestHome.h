#pragma once

#include <QString>

// Points HOME, the XDG folders and the temporary folder (TMPDIR) at a fresh temporary folder for the whole
// test process, so nothing touches the real user's files and nothing is left in the system's temporary
// folder. Removed again when the process ends normally. A process the test
// starts (a death test's child, a program under test) inherits the folder through the environment and
// uses it without making one of its own: such a process may end without running destructors, and would
// leave its own folder behind.
class TestHome
{
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_owned = false;
};
