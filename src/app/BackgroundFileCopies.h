#pragma once

#include <QSet>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Copies files to names not taken yet (copyToNewFile) on a few threads of its own, while the caller goes
// on with other work. Making files costs mostly waiting for the file system, so several copies in flight
// and the caller's own work overlap. The queue is bounded: add() waits while it is full, so memory stays
// flat however many copies a job asks for. A copy whose target exists is skipped; a failed copy is
// counted as not made. Folders are made as needed, each once.
class BackgroundFileCopies
{
public:
    explicit BackgroundFileCopies(int threads = 3, int maxQueued = 2048);
    ~BackgroundFileCopies(); // drops what was not started and waits for the rest
    BackgroundFileCopies(const BackgroundFileCopies&) = delete;
    BackgroundFileCopies& operator=(const BackgroundFileCopies&) = delete;

    void add(const QString& from, const QString& to);
    // Waits until every added copy is done; returns how many files were made in all.
    qint64 finish();
    // Drops the copies not started yet and waits for those under way; copies already made stay.
    void cancel();

private:
    struct Copy
    {
        QString from;
        QString to;
    };
    void work();
    void makeFolderOnce(const QString& folder);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Copy> m_queue;
    int m_running = 0;
    qint64 m_made = 0;
    bool m_stopping = false;
    int m_maxQueued;
    QSet<QString> m_folders;
    std::vector<std::thread> m_threads;
};
