#include "export/ExportOpenFiles.h"

#include "export/ExportTextFile.h"

#include <algorithm>

ExportOpenFiles::ExportOpenFiles(int limit) : m_limit(std::max(1, limit))
{
}

void ExportOpenFiles::opening(ExportTextFile* file)
{
    while (int(m_open.size()) >= m_limit) {
        const auto oldest = std::min_element(m_open.begin(), m_open.end(),
                                             [](const ExportTextFile* a, const ExportTextFile* b) {
                                                 return a->lastWritten() < b->lastWritten();
                                             });
        ExportTextFile* parked = *oldest;
        m_open.erase(oldest);
        parked->park(); // calls closed(), which finds it gone
    }
    m_open.push_back(file);
    m_mostOpen = std::max(m_mostOpen, int(m_open.size()));
}

void ExportOpenFiles::closed(ExportTextFile* file)
{
    const auto it = std::find(m_open.begin(), m_open.end(), file);
    if (it != m_open.end())
        m_open.erase(it);
}
