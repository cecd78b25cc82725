#pragma once

#include "app/JobControl.h"

#include <QHash>

class AbsLineMsgsSource;
class BackgroundFileCopies;
class LineLocalDb;
struct _LineChat;
struct _LineMsg;

// Copies the messages of any source into a local message database with their chats, users, groups,
// thumbnails and media files, without duplicates: a message whose (chat, uid) is already there is not
// inserted again, and a media copy never replaces a file. All rows of one run land in one transaction.
class LineLocalDbMerger
{
public:
    struct Result
    {
        qint64 processed = 0; // messages taken from the source, those without a chat included
        qint64 inserted = 0;
        qint64 alreadyThere = 0; // messages with a chat that the database held before
        qint64 mediaCopied = 0;  // files copied (media and thumbnails)
        bool cancelled = false;  // nothing was committed
    };

    explicit LineLocalDbMerger(LineLocalDb& target, JobControl control = {});

    // Opens the target and merges every message of the source. Errors throw and commit nothing.
    Result merge(AbsLineMsgsSource& source);

private:
    qint64 targetChatId(const _LineChat& chat);
    void queueMedia(const _LineMsg& message);

    LineLocalDb& m_target;
    JobControl m_control;
    QHash<const _LineChat*, qint64> m_chatIds;
    BackgroundFileCopies* m_copies = nullptr; // during merge()
};
