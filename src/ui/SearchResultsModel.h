#pragma once

#include "search/SearchHit.h"

#include <QAbstractTableModel>
#include <QList>

class MessageSearch;

// Every hit of a message search across all chats of a database, newest first: chat, time, sender and
// the text around the match. Hits are read from the search in batches as the view scrolls.
class SearchResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int BatchSize = 200;

    enum Column
    {
        ChatColumn = 0,
        TimeColumn = 1,
        SenderColumn = 2,
        SnippetColumn = 3,
    };

    explicit SearchResultsModel(QObject* parent = nullptr);

    // Starts over with the hits of search (null: none); the first batch is read at once. The search
    // must outlive the model's use of it (setSearch(nullptr) before it goes).
    void setSearch(MessageSearch* search);
    // Whether the first batch held any hit.
    bool isEmpty() const { return m_hits.isEmpty(); }
    const SearchHit& hit(int row) const { return m_hits.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    MessageSearch* m_search = nullptr;
    QList<SearchHit> m_hits;
    bool m_complete = true;
};
