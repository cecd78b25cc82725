#include "ui/SearchResultsModel.h"

#include "line/LineChat.h"
#include "line/LineUser.h"
#include "search/MessageSearch.h"

#include <QLocale>
#include <exception>

SearchResultsModel::SearchResultsModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void SearchResultsModel::setSearch(MessageSearch* search)
{
    beginResetModel();
    m_search = search;
    m_hits.clear();
    m_complete = search == nullptr;
    endResetModel();
    fetchMore({});
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const SearchHit& hit = m_hits.at(index.row());
    switch (index.column()) {
    case ChatColumn:
        return hit.message.chat ? hit.message.chat->chatTitle(false) : QString();
    case TimeColumn:
        return QLocale::system().toString(hit.message.time, QLocale::ShortFormat);
    case SenderColumn:
        return hit.message.sender ? hit.message.sender->displayName() : tr("(me)");
    case SnippetColumn:
        return hit.snippet;
    default:
        return {};
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ChatColumn:
        return tr("Chat");
    case TimeColumn:
        return tr("Time");
    case SenderColumn:
        return tr("Sender");
    case SnippetColumn:
        return tr("Message");
    default:
        return {};
    }
}

bool SearchResultsModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete;
}

void SearchResultsModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    QList<SearchHit> batch;
    try {
        batch = m_search->hits(nullptr, true, BatchSize, m_hits.isEmpty() ? -1 : m_hits.last().position);
    } catch (const std::exception& failure) {
        // The view asks again and again; a damaged index ends the list where it is.
        qWarning("search results: %s", failure.what());
        m_complete = true;
        return;
    }
    m_complete = batch.size() < BatchSize;
    if (batch.isEmpty())
        return;
    beginInsertRows({}, int(m_hits.size()), int(m_hits.size() + batch.size() - 1));
    m_hits.append(batch);
    endInsertRows();
}
