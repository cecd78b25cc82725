#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QWidget;

// Answers the modal dialogs a test opens, so nothing blocks: each time a new modal widget is on top it
// takes the next answer from the queue, records the box's text and clicks the button with that label
// ("<escape>" presses the Escape key instead). A dialog still open after the time limit is closed and
// counted in timedOut, so a wrong test fails instead of hanging.
class ModalCloser : public QObject
{
    Q_OBJECT

public:
    explicit ModalCloser(QStringList answers = {}, int timeLimitMs = 10000);

    void answer(const QString& buttonLabel) { m_answers << buttonLabel; }
    // Widgets that are expected to be modal and must not be answered (for example the form under test).
    void ignore(QWidget* widget) { m_ignored << widget; }
    // Every modal widget of this object name, for example the progress forms of the jobs a test runs.
    void ignoreNamed(const QString& objectName) { m_ignoredNames << objectName; }

    QStringList texts;    // text of every message box answered, in order
    QStringList answered; // labels clicked, in order
    int timedOut = 0;

private:
    void poll();

    QStringList m_answers;
    QList<QWidget*> m_ignored;
    QStringList m_ignoredNames;
    QPointer<QWidget> m_lastAnswered; // a guarded pointer: the next box may reuse a deleted one's address
    QTimer m_timer;
    int m_waitedMs = 0;
    int m_timeLimitMs;
};
