// The main window's message search and printing: the search panel and the print job, wired here.
#include "line/LineChat.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"
#include "ui/MainWindow.h"
#include "ui/MessageSearchPanel.h"
#include "ui/MyTreeView.h"
#include "ui/WindowFileChooser.h"
#include "ui/WindowPrinting.h"

#include <QAction>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

void MainWindow::buildSearchAndPrint()
{
    m_fileChooser = std::make_unique<WindowFileChooser>();
    m_searchPanel = new MessageSearchPanel(this, m_treeViewSMS, m_smsModel, m_txtSMSKeyword);
    m_searchPanel->setScope([this] {
        MessageSearchPanel::Scope scope;
        const _AbsDBItemNode* node = currentDbNode();
        if (node && node->loaded)
            scope.data = node->data;
        scope.chat = m_currentChat;
        scope.ascending = m_treeViewSMS->header()->sortIndicatorSection() != 0 ||
                          m_treeViewSMS->header()->sortIndicatorOrder() == Qt::AscendingOrder;
        return scope;
    });
    addDockWidget(Qt::BottomDockWidgetArea, m_searchPanel->resultsDock());
    connect(m_btnSearchSMS, &QToolButton::pressed, this, &MainWindow::searchMessages);
    connect(m_txtSMSKeyword, &QLineEdit::returnPressed, this, &MainWindow::searchMessages);
    connect(m_searchPanel, &MessageSearchPanel::openChatRequested, this, &MainWindow::openChatOfHit);

    m_printing = new WindowPrinting(this);
}

void MainWindow::searchMessages()
{
    m_searchPanel->searchMessages();
}

void MainWindow::openChatOfHit(_LineChat* chat)
{
    _AbsDBItemNode* dbNode = currentDbNode();
    if (!dbNode)
        return;
    if (!chat) {
        selectNode(dbNode);
        return;
    }
    for (int row = 0; row < dbNode->childCount(); ++row) {
        auto* node = static_cast<_ChatSessionItemNode*>(dbNode->child(row));
        if (node->chat == chat) {
            selectNode(node);
            return;
        }
    }
}

void MainWindow::miPrint()
{
    m_printing->print(selectedSource());
}

void MainWindow::miPrintChat()
{
    m_printing->print(m_smsModel->source());
}

void MainWindow::miPrintAll()
{
    m_printing->print(allMessagesSource());
}

void MainWindow::miPrintToolbar()
{
    m_printing->print(toolbarSource());
}

void MainWindow::setFileChooser(std::unique_ptr<WindowFileChooser> chooser)
{
    m_fileChooser = std::move(chooser);
}
