#pragma once

#include "line/LineData.h"

#include <QObject>
#include <functional>
#include <memory>

class ItemModelSms;
class MessageSearch;
class MessageSearchIndex;
class QAbstractItemView;
class QDockWidget;
class QLineEdit;
class QModelIndex;
class QTreeView;
class SearchResultsModel;
class QWidget;
struct _LineChat;

// The window's message search. The keyword box finds the next message that contains the keyword, from
// the row after the current one of the message list around to it, through the search index of the
// shown database (built behind a progress form the first time); a results list beside shows every hit
// across all chats of that database, and choosing one opens its chat with the message selected.
class MessageSearchPanel : public QObject
{
    Q_OBJECT

public:
    // What the message list shows: the database's data set, the chat (null: all of its messages) and the
    // order.
    struct Scope
    {
        PLineData data;
        _LineChat* chat = nullptr;
        bool ascending = true;
    };

    MessageSearchPanel(QWidget* window, QAbstractItemView* list, ItemModelSms* messages, QLineEdit* keyword);
    ~MessageSearchPanel() override;

    void setScope(std::function<Scope()> scope) { m_scope = std::move(scope); }
    // The results list, in a dock of its own; hidden until a search found something.
    QDockWidget* resultsDock() const { return m_dock; }
    QTreeView* resultsView() const { return m_resultsView; }
    SearchResultsModel* results() const { return m_results; }

    // Sets the texts again in the current language.
    void retranslate();

    // Lets go of the index and the results, so the database they are over can be closed or changed.
    void forget();

    // Makes a row of the list current and selected and scrolls to it, reading rows up to it first; false
    // for a row beyond the list.
    static bool selectRow(QAbstractItemView& list, ItemModelSms& model, qint64 row);

public slots:
    void searchMessages();

signals:
    // The window shows the chat (null: all messages of the database) in the list before the hit's row is
    // selected there.
    void openChatRequested(_LineChat* chat);

private:
    // The index of the data set, open; built behind a progress form when it is not current. False when
    // building failed (the form said why) or was cancelled.
    bool prepareIndex(const PLineData& data);
    // The search of keyword over the open index, made anew when the keyword changed (and the results
    // list with it); null (and said why) when the keyword is not searchable.
    MessageSearch* searchFor(const QString& keyword);
    void openResult(const QModelIndex& index);

    QWidget* m_window;
    QAbstractItemView* m_list;
    ItemModelSms* m_messages;
    QLineEdit* m_keyword;
    std::function<Scope()> m_scope;
    std::unique_ptr<MessageSearchIndex> m_index;
    std::unique_ptr<MessageSearch> m_search;
    QDockWidget* m_dock;
    QTreeView* m_resultsView;
    SearchResultsModel* m_results;
};
