#pragma once

#include "app/JobControl.h"
#include "app/JobMessage.h"

#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QString>

// How a job talks to its progress form without knowing its class: every call is a by-name invocation
// with automatic connection, so calls from the job's thread are queued to the form's thread.
// The form (ProgressForm, the console reporter of ferrowyn-cli, or a test double) provides the slots
// updateProgress(QString,int,QString), succeed(QString), errorOccurred(QString) and the thread-safe
// Q_INVOKABLE bool isCancelled() const; all texts are plain text. A form that can show a link also has
// the slot showLink(QString address, QString text), called just before the message the link belongs to.
class JobReporter
{
public:
    explicit JobReporter(QObject* form);

    // A non-empty status replaces the headline; a negative progress keeps the bar's value.
    void updateProgress(const QString& status, int progress, const QString& progressText = QString()) const;
    void succeed(const JobMessage& result) const;
    void errorOccurred(const JobMessage& error) const;
    // Read directly (not queued): the form keeps its cancelled flag atomic.
    bool isCancelled() const;

    QObject* form() const { return m_form; }

    // A control whose reports and cancel go to this form; it must not outlive the reporter.
    JobControl control() const;

private:
    void showLink(const JobMessage& message) const;

    QPointer<QObject> m_form;
    QMetaMethod m_isCancelled; // looked up once: jobs ask for every message
};

// The three invocation functions by name, for code that holds only the form.
void invokeUpdateProgress(QObject* form, const QString& status, int progress, const QString& progressText);
void invokeSucceed(QObject* form, const QString& result);
void invokeErrorOccurred(QObject* form, const QString& text);
