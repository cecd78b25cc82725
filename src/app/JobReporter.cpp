#include "app/JobReporter.h"

#include <QMetaObject>

void invokeUpdateProgress(QObject* form, const QString& status, int progress, const QString& progressText)
{
    if (form)
        QMetaObject::invokeMethod(form, "updateProgress", Qt::AutoConnection, Q_ARG(QString, status),
                                  Q_ARG(int, progress), Q_ARG(QString, progressText));
}

void invokeSucceed(QObject* form, const QString& result)
{
    if (form)
        QMetaObject::invokeMethod(form, "succeed", Qt::AutoConnection, Q_ARG(QString, result));
}

void invokeErrorOccurred(QObject* form, const QString& text)
{
    if (form)
        QMetaObject::invokeMethod(form, "errorOccurred", Qt::AutoConnection, Q_ARG(QString, text));
}

JobReporter::JobReporter(QObject* form) : m_form(form)
{
    if (form) {
        const int index = form->metaObject()->indexOfMethod("isCancelled()");
        if (index >= 0)
            m_isCancelled = form->metaObject()->method(index);
    }
}

void JobReporter::updateProgress(const QString& status, int progress, const QString& progressText) const
{
    invokeUpdateProgress(m_form, status, progress, progressText);
}

void JobReporter::succeed(const JobMessage& result) const
{
    showLink(result);
    invokeSucceed(m_form, result.text);
}

void JobReporter::errorOccurred(const JobMessage& error) const
{
    showLink(error);
    invokeErrorOccurred(m_form, error.text);
}

void JobReporter::showLink(const JobMessage& message) const
{
    if (!m_form || message.link.isEmpty() ||
        m_form->metaObject()->indexOfMethod("showLink(QString,QString)") < 0)
        return;
    QMetaObject::invokeMethod(m_form, "showLink", Qt::AutoConnection, Q_ARG(QString, message.link),
                              Q_ARG(QString, message.linkText.isEmpty() ? message.link : message.linkText));
}

JobControl JobReporter::control() const
{
    JobControl::Listener listener;
    listener.status = [this](const QString& status, int percent) { updateProgress(status, percent); };
    listener.progress = [this](int percent, const QString& text) {
        updateProgress(QString(), percent, text);
    };
    listener.cancelled = [this] { return isCancelled(); };
    return JobControl(std::move(listener));
}

bool JobReporter::isCancelled() const
{
    bool cancelled = false;
    if (m_form && m_isCancelled.isValid())
        m_isCancelled.invoke(m_form, Qt::DirectConnection, Q_RETURN_ARG(bool, cancelled));
    return cancelled;
}
