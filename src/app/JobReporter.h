#pragma once

#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QString>

// How a job talks to its progress form without knowing its class: every call is a by-name invocation
// with automatic connection, so calls from the job's thread are queued to the form's thread.
// The form (ProgressForm, the console reporter of ferrowyn-cli, or a test double) provides the slots
// updateProgress(QString,int,QString), succeed(QString), errorOccurred(QString) and the thread-safe
// Q_INVOKABLE bool isCancelled() const.
class JobReporter
{
public:
    explicit JobReporter(QObject* form);

    // A non-empty status replaces the headline; a negative progress keeps the bar's value.
    void updateProgress(const QString& status, int progress, const QString& progressText = QString()) const;
    void succeed(const QString& result) const;
    void errorOccurred(const QString& text) const;
    // Read directly (not queued): the form keeps its cancelled flag atomic.
    bool isCancelled() const;

    QObject* form() const { return m_form; }

private:
    QPointer<QObject> m_form;
    QMetaMethod m_isCancelled; // looked up once: jobs ask for every message
};

// The three invocation functions by name, for code that holds only the form.
void invokeUpdateProgress(QObject* form, const QString& status, int progress, const QString& progressText);
void invokeSucceed(QObject* form, const QString& result);
void invokeErrorOccurred(QObject* form, const QString& text);
