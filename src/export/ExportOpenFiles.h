#pragma once

#include <QtGlobal>
#include <vector>

class ExportTextFile;

// Bounds how many files of one export are open at once. A folder export writes one file per chat; with
// thousands of chats it would pass the system's limit on open files (often 1,024) and hold a write buffer
// per chat. Past the limit, the file written least recently is parked: its buffer written out and the file
// closed, to be reopened for appending at its next write. Used from one thread.
class ExportOpenFiles
{
public:
    static constexpr int kDefaultLimit = 64;

    explicit ExportOpenFiles(int limit = kDefaultLimit);
    ExportOpenFiles(const ExportOpenFiles&) = delete;
    ExportOpenFiles& operator=(const ExportOpenFiles&) = delete;

    int limit() const { return m_limit; }
    int openCount() const { return int(m_open.size()); }
    // The most files that were open at the same time.
    int mostOpen() const { return m_mostOpen; }

    // Called by a file that is about to open: parks the least recently written files so that it fits.
    void opening(ExportTextFile* file);
    // Called by a file that closed, for whatever reason.
    void closed(ExportTextFile* file);
    // A steadily increasing stamp for "written now".
    quint64 tick() { return ++m_clock; }

private:
    int m_limit;
    int m_mostOpen = 0;
    quint64 m_clock = 0;
    std::vector<ExportTextFile*> m_open;
};
