#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QList>

// Messages held in a list, for example the ones a user selected.
class LineMsgsListSource : public AbsLineMsgsSource
{
public:
    explicit LineMsgsListSource(QList<_LineMsg> messages = {});

    qint64 count() override;
    _LineMsg message(qint64 index) override;
    // Groups the messages by chat, keeping their order; messages without a chat are left out.
    QHash<_LineChat*, PAbsLineMsgsSource> splitByChat() override;

    const QList<_LineMsg>& messages() const { return m_messages; }

private:
    QList<_LineMsg> m_messages;
};
