#pragma once

#include <QString>

// Points HOME and the XDG folders at a fresh temporary folder for the whole test process, so nothing
// touches the real user's files. Removed again when the process ends normally.
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
};
