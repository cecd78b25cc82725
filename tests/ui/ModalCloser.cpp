#include "ModalCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace {
constexpr int kPollMs = 10;
}

ModalCloser::ModalCloser(QStringList answers, int timeLimitMs)
    : m_answers(std::move(answers)), m_timeLimitMs(timeLimitMs)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
    m_timer.start(kPollMs);
}

void ModalCloser::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    const bool foreign = modal && modal->isVisible() && !m_ignored.contains(modal) &&
                         !m_ignoredNames.contains(modal->objectName());
    if (!foreign || modal == m_lastAnswered || m_answers.isEmpty()) {
        m_waitedMs = foreign ? m_waitedMs + kPollMs : 0;
        if (m_waitedMs > m_timeLimitMs) {
            ++timedOut;
            m_waitedMs = 0;
            modal->close();
        }
        return;
    }
    const QString label = m_answers.takeFirst();
    m_waitedMs = 0;
    m_lastAnswered = modal;
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        texts << box->text();
    else
        texts << modal->objectName();
    answered << label;
    if (label == QLatin1String("<escape>")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(modal, &press);
        return;
    }
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->text() == label) {
            button->click();
            return;
        }
    }
    ++timedOut; // no such button: close it so the test can report the mismatch
    modal->close();
}
