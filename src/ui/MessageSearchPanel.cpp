#include "ui/MessageSearchPanel.h"

#include "jobs/BuildSearchIndexThread.h"
#include "search/MessageSearch.h"
#include "search/MessageSearchIndex.h"
#include "ui/ItemModelSms.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressForm.h"
#include "ui/SearchResultsModel.h"
#include "ui/WindowBusyLock.h"
#include "ui/WindowJobRunner.h"

#include <QCoreApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMutex>
#include <QTreeView>
#include <exception>
#include <mutex>

MessageSearchPanel::MessageSearchPanel(QWidget* window, QAbstractItemView* list, ItemModelSms* messages,
                                       QLineEdit* keyword)
    : QObject(window), m_window(window), m_list(list), m_messages(messages), m_keyword(keyword)
{
    m_dock = new QDockWidget(tr("Search Results"), window);
    m_dock->setObjectName(QStringLiteral("dockSearchHits"));
    m_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_resultsView = new QTreeView(m_dock);
    m_resultsView->setObjectName(QStringLiteral("treeViewSearchHits"));
    m_resultsView->setRootIsDecorated(false);
    m_resultsView->setUniformRowHeights(true);
    m_resultsView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results = new SearchResultsModel(this);
    m_resultsView->setModel(m_results);
    m_resultsView->setColumnWidth(SearchResultsModel::ChatColumn, 160);
    m_resultsView->setColumnWidth(SearchResultsModel::TimeColumn, 120);
    m_resultsView->setColumnWidth(SearchResultsModel::SenderColumn, 120);
    m_resultsView->header()->setStretchLastSection(true);
    m_dock->setWidget(m_resultsView);
    m_dock->hide();
    connect(m_resultsView, &QAbstractItemView::clicked, this, &MessageSearchPanel::openResult);
    connect(m_resultsView, &QAbstractItemView::activated, this, &MessageSearchPanel::openResult);
}

MessageSearchPanel::~MessageSearchPanel()
{
    m_results->setSearch(nullptr);
}

void MessageSearchPanel::retranslate()
{
    m_dock->setWindowTitle(tr("Search Results"));
    emit m_results->headerDataChanged(Qt::Horizontal, SearchResultsModel::ChatColumn,
                                      SearchResultsModel::SnippetColumn);
}

void MessageSearchPanel::forget()
{
    m_results->setSearch(nullptr);
    m_search.reset();
    m_index.reset();
    m_dock->hide();
}

bool MessageSearchPanel::selectRow(QAbstractItemView& list, ItemModelSms& model, qint64 row)
{
    if (row < 0 || row >= model.total())
        return false;
    model.fetchUpTo(row);
    if (row >= model.rowCount())
        return false;
    const QModelIndex index = model.index(int(row), 0);
    list.selectionModel()->setCurrentIndex(index,
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

void MessageSearchPanel::searchMessages()
{
    // The search may show a progress form: it must not start again from inside one.
    const std::unique_lock<QMutex> busy(windowBusyLock(), std::try_to_lock);
    if (!busy.owns_lock() || !m_scope)
        return;
    const QString keyword = m_keyword->text().trimmed();
    if (keyword.isEmpty())
        return;
    const Scope scope = m_scope();
    if (!scope.data || m_messages->total() == 0) {
        showTips(QCoreApplication::translate("MainWindow", "IDS_CAN_NOT_FOUND_AND_MESSAGES"), m_window);
        return;
    }
    if (!prepareIndex(scope.data))
        return;
    MessageSearch* search = searchFor(keyword);
    if (!search)
        return;
    const QModelIndex current = m_list->currentIndex();
    const qint64 after = current.isValid() ? current.row() : -1;
    std::optional<qint64> hit;
    try {
        hit = search->nextHit(scope.chat, scope.ascending, after);
        if (!hit && after >= 0)
            hit = search->nextHit(scope.chat, scope.ascending, -1);
    } catch (const std::exception& failure) {
        showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), m_window);
        return;
    }
    if (!hit || !selectRow(*m_list, *m_messages, *hit))
        showTips(QCoreApplication::translate("MainWindow", "IDS_CAN_NOT_FOUNDSMS_KEYWORD_%0")
                     .arg(keyword.toHtmlEscaped()),
                 m_window);
}

bool MessageSearchPanel::prepareIndex(const PLineData& data)
{
    if (m_index && m_index->data() == data && m_index->isOpen())
        return true;
    forget();
    auto index = std::make_unique<MessageSearchIndex>(data);
    bool current = false;
    try {
        current = index->openIfCurrent();
    } catch (const std::exception& failure) {
        qWarning("search index %s: %s", qUtf8Printable(index->path()), failure.what());
    }
    if (!current) {
        ProgressForm form(tr("Searching..."), m_window);
        BuildSearchIndexThread job(*index, &form);
        runJobModal(job, form);
        if (!job.succeeded() || !index->isOpen())
            return false;
    }
    m_index = std::move(index);
    return true;
}

MessageSearch* MessageSearchPanel::searchFor(const QString& keyword)
{
    if (m_search && m_search->query() == keyword)
        return m_search.get();
    m_results->setSearch(nullptr);
    m_search.reset();
    try {
        m_search = std::make_unique<MessageSearch>(*m_index, keyword);
    } catch (const std::exception& failure) {
        showTips(QString::fromUtf8(failure.what()).toHtmlEscaped(), m_window);
        return nullptr;
    }
    m_results->setSearch(m_search.get());
    m_dock->setVisible(!m_results->isEmpty());
    return m_search.get();
}

void MessageSearchPanel::openResult(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= m_results->rowCount())
        return;
    // Copied: opening the chat runs the window's code, which may start a new search.
    const SearchHit hit = m_results->hit(index.row());
    emit openChatRequested(hit.message.chat);
    const Scope scope = m_scope ? m_scope() : Scope{};
    if (scope.chat != hit.message.chat)
        return; // the window could not show that chat
    const qint64 position = hit.message.chat ? hit.chatPosition : hit.position;
    const qint64 row = scope.ascending ? position : m_messages->total() - 1 - position;
    selectRow(*m_list, *m_messages, row);
}
