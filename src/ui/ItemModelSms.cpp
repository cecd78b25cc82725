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
    const size_t batch = size_t(index.row()) / BatchSize;
    if (batch < m_skipped.size() && m_skipped[batch])
        readSkippedBatch(batch);
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case DateColumn:
            return QLocale::system().toString(row.time, QLocale::ShortFormat);
        case FlagColumn:
            return row.sent ? tr("To") : tr("From");
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

void ItemModelSms::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, DateColumn, ContentColumn);
    if (!m_rows.empty())
        emit dataChanged(index(0, FlagColumn), index(int(m_rows.size()) - 1, FlagColumn));
}

QVariant ItemModelSms::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DateColumn:
        return tr("Date");
    case FlagColumn:
        return tr("Flag");
    case ContactColumn:
        return tr("Contact");
    case ContentColumn:
        return tr("Content");
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
    m_skipped.clear();
    m_total = source ? source->count() : 0;
    m_source = std::move(source);
    endResetModel();
}

void ItemModelSms::fetchUpTo(qint64 row)
{
    const qint64 fetched = qint64(m_rows.size());
    if (row < fetched || row >= m_total || row >= INT_MAX)
        return;
    // Whole batches, so the batches that follow are read by fetchMore as usual.
    const qint64 end = std::min<qint64>({(row / BatchSize + 1) * BatchSize, m_total, qint64(INT_MAX)});
    const size_t firstSkipped = size_t(fetched / BatchSize);
    const size_t batches = size_t((end + BatchSize - 1) / BatchSize);
    if (m_skipped.size() < batches)
        m_skipped.resize(batches, false);
    for (size_t batch = firstSkipped; batch < batches; ++batch)
        m_skipped[batch] = true;
    beginInsertRows({}, int(fetched), int(end - 1));
    m_rows.resize(size_t(end));
    endInsertRows();
}

void ItemModelSms::readSkippedBatch(size_t batch) const
{
    m_skipped[batch] = false;
    const qint64 first = qint64(batch) * BatchSize;
    const qint64 end = std::min<qint64>(first + BatchSize, qint64(m_rows.size()));
    try {
        for (qint64 i = first; i < end; ++i)
            m_rows[size_t(i)] = rowOf(m_source->message(i));
    } catch (const std::exception& failure) {
        // Rows that cannot be read stay blank; the list goes on.
        qWarning("message list: reading batch at row %lld failed: %s", first, failure.what());
    }
}

QModelIndex ItemModelSms::indexForRow(qint64 row) const
{
    if (row < 0 || row >= m_total || row >= INT_MAX)
        return {};
    return createIndex(int(row), 0, quintptr(row + 1));
}
