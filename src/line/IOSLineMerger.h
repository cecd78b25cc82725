#pragma once

#include "app/JobControl.h"

#include <QHash>
#include <functional>

class AbsLineMsgsSource;
class IOSLineDb;
struct _LineChat;
struct _LineMsg;

// Merges the messages of any source into LINE's iPhone store (a working copy the caller owns): chats are
// found (a hidden one shown again) or created with their members and groups, messages already present
// by (chat, uid) are not inserted again, LINE's own notice rows (content type 106) are removed, and
// finish() brings the store's bookkeeping in line. One transaction: an error or a cancel leaves the store
// as it was.
class IOSLineMerger
{
public:
    struct Result
    {
        qint64 seen = 0;     // messages with a uid
        qint64 handled = 0;  // of those, messages with a chat
        qint64 inserted = 0; // of those, messages that were not there yet
        bool cancelled = false;
    };

    // Called for every handled message, inserted or already present, with the chat's Z_PK: the caller
    // collects the message's media files for the device from here.
    using MessageHandled = std::function<void(const _LineMsg& message, qint64 chatPk)>;

    explicit IOSLineMerger(IOSLineDb& target, JobControl control = {}, MessageHandled handled = {});

    // Opens the target, checks that it can take messages and merges every message of the source.
    Result merge(AbsLineMsgsSource& source);

private:
    qint64 targetChatPk(const _LineChat& chat);

    IOSLineDb& m_target;
    JobControl m_control;
    MessageHandled m_handled;
    QHash<const _LineChat*, qint64> m_chatPks;
};
