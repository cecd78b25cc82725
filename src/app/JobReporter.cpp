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

void JobReporter::succeed(const QString& result) const
{
    invokeSucceed(m_form, result);
}

void JobReporter::errorOccurred(const QString& text) const
{
    invokeErrorOccurred(m_form, text);
}

bool JobReporter::isCancelled() const
{
    bool cancelled = false;
    if (m_form && m_isCancelled.isValid())
        m_isCancelled.invoke(m_form, Qt::DirectConnection, Q_RETURN_ARG(bool, cancelled));
    return cancelled;
}
