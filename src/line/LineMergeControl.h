#pragma once

#include <QtGlobal>
#include <functional>

// How a caller follows and stops a merge of messages into a database.
struct LineMergeControl
{
    // After each message taken up: how many so far and how many the source holds.
    std::function<void(qint64 done, qint64 total)> progress;
    // Asked before each message; true abandons the merge (nothing of it is committed).
    std::function<bool()> cancelled;

    void report(qint64 done, qint64 total) const
    {
        if (progress)
            progress(done, total);
    }
    bool isCancelled() const { return cancelled && cancelled(); }
};
