#include "ui/ItemModelSms.h"

#include "line/LineChat.h"
#include "line/LineUser.h"

#include <QBrush>
#include <QLocale>
#include <QPixmap>
#include <QSize>
#include <algorithm>
#include <climits>
#include <exception>

namespace {
constexpr int kIconWidth = 18;
constexpr int kRowHeight = 23;
const QColor kSentBackground(245, 255, 226);
const QColor kReceivedBackground(255, 255, 255);
const QColor kNoUidForeground(255, 0, 0);
} // namespace

ItemModelSms::ItemModelSms(QObject* parent) : QAbstractItemModel(parent)
{
}

QModelIndex ItemModelSms::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || column >= columnCount() || row >= rowCount())
        return {};
    return createIndex(row, column, quintptr(column == 0 ? row + 1 : 0));
}

QModelIndex ItemModelSms::parent(const QModelIndex&) const
{
    return {};
}

int ItemModelSms::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ItemModelSms::columnCount(const QModelIndex&) const
{
    return 4;
}

QVariant ItemModelSms::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= int(m_rows.size()))
        return {};
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case DateColumn:
            return QLocale::system().toString(row.time, QLocale::ShortFormat);
        case FlagColumn:
            return row.sent ? QStringLiteral("To") : QStringLiteral("From");
        case ContactColumn:
            return row.contact;
        case ContentColumn:
            return row.text;
        default:
            return {};
        }
    case Qt::DecorationRole:
        if (index.column() != DateColumn)
            return {};
        return QPixmap(row.sent ? QStringLiteral(":/res/icon_sms-sent.png")
                                : QStringLiteral(":/res/icon_sms-receive.png"))
            .scaledToWidth(kIconWidth, Qt::FastTransformation);
    case Qt::BackgroundRole:
        return QBrush(row.sent ? kSentBackground : kReceivedBackground);
    case Qt::ForegroundRole:
        // Messages LINE never gave an id (never delivered, say) stand out.
        if (_LineMsg::isRealUid(row.uid))
            return {};
        return QBrush(kNoUidForeground);
    case Qt::SizeHintRole:
        return QSize(0, kRowHeight);
    default:
        return {};
    }
}

QVariant ItemModelSms::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DateColumn:
        return QStringLiteral("Date");
    case FlagColumn:
        return QStringLiteral("Flag");
    case ContactColumn:
        return QStringLiteral("Contact");
    case ContentColumn:
        return QStringLiteral("Content");
    default:
        return {};
    }
}

bool ItemModelSms::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && qint64(m_rows.size()) < m_total;
}

void ItemModelSms::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const qint64 fetched = qint64(m_rows.size());
    // The list view counts rows in int.
    const qint64 n = std::min<qint64>({m_total - fetched, BatchSize, qint64(INT_MAX) - fetched});
    if (n <= 0)
        return;
    // Read first, then announce: a source that fails part-way (a database error) leaves the model as it was.
    std::vector<Row> batch;
    batch.reserve(size_t(n));
    try {
        for (qint64 i = fetched; i < fetched + n; ++i)
            batch.push_back(rowOf(m_source->message(i)));
    } catch (const std::exception& failure) {
        // The view asks again and again; a database that fails stops the list where it is.
        qWarning("message list: reading row %lld failed: %s", fetched + qint64(batch.size()), failure.what());
        m_total = fetched;
        return;
    }
    beginInsertRows({}, int(fetched), int(fetched + n - 1));
    std::move(batch.begin(), batch.end(), std::back_inserter(m_rows));
    endInsertRows();
}

ItemModelSms::Row ItemModelSms::rowOf(const _LineMsg& message)
{

    Row row;
    row.uid = message.uid;
    row.time = message.time;
    row.sent = message.isOutgoing();
    if (message.sender)
        row.contact = message.sender->displayName();
    else if (message.chat)
        row.contact = message.chat->chatTitle(false);
    else
        row.contact = QStringLiteral("Unknown");
    row.text = message.displayText();
    return row;
}

void ItemModelSms::setSource(PAbsLineMsgsSource source)
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_total = source ? source->count() : 0;
    m_source = std::move(source);
    endResetModel();
}

QModelIndex ItemModelSms::indexForRow(qint64 row) const
{
    if (row < 0 || row >= m_total || row >= INT_MAX)
        return {};
    return createIndex(int(row), 0, quintptr(row + 1));
}
