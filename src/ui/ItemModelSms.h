#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <vector>

// The flat message list of the shown source. Rows are read from the source in batches of 500 as the
// view scrolls towards the end (canFetchMore/fetchMore), so a million-message database costs one batch
// to show.
class ItemModelSms : public QAbstractItemModel
{
    Q_OBJECT

public:
    static constexpr int BatchSize = 500;

    enum Column
    {
        DateColumn = 0,
        FlagColumn = 1,
        ContactColumn = 2,
        ContentColumn = 3,
    };

    explicit ItemModelSms(QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void fetchMore(const QModelIndex& parent) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    // Has the views ask again for the texts that depend on the language.
    void retranslate();

    // Resets the model onto source (null: no rows); no row is read yet.
    void setSource(PAbsLineMsgsSource source);
    const PAbsLineMsgsSource& source() const { return m_source; }
    // The source's message count, read when it was set.
    qint64 total() const { return m_total; }

    // A column-0 index for any row below total(), read or not; invalid otherwise.
    QModelIndex indexForRow(qint64 row) const;
    // Makes the rows up to row (and the rest of its batch) part of the list without reading the batches
    // in between: each of those is read when one of its rows is first asked for. A jump to a far row (a
    // search hit) so costs one batch instead of every row before it.
    void fetchUpTo(qint64 row);

private:
    struct Row
    {
        QString uid;
        QDateTime time;
        bool sent = false;
        QString contact;
        QString text;
    };
    static Row rowOf(const _LineMsg& message);
    // Reads a batch that fetchUpTo passed over, when one of its rows is asked for.
    void readSkippedBatch(size_t batch) const;

    PAbsLineMsgsSource m_source;
    qint64 m_total = 0;
    // Rows of batches passed over by fetchUpTo are filled in when first asked for, by the const data().
    mutable std::vector<Row> m_rows;
    mutable std::vector<bool> m_skipped; // by batch: passed over and not read yet
};
