#include "ui/WindowPrinting.h"

#include "app/JobControl.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintLineMsgsPreview.h"
#include "ui/ProgressForm.h"
#include "ui/WindowBusyLock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutex>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <exception>
#include <mutex>

namespace {
// Painting runs on this thread: events are let through this often so the form's cancel button works.
constexpr qint64 kEventsEveryMs = 50;
} // namespace

WindowPrinting::WindowPrinting(QWidget* window) : QObject(window), m_window(window)
{
}

void WindowPrinting::print(const PAbsLineMsgsSource& source)
{
    const std::unique_lock<QMutex> busy(windowBusyLock(), std::try_to_lock);
    if (!busy.owns_lock() || !source)
        return;
    PrintLineMsgsPreview preview(m_window);
    connect(&preview, &PrintLineMsgsPreview::previewPaintRequest, this,
            &WindowPrinting::onPreviewPaintRequest);
    preview.exec(source);
}

void WindowPrinting::onPreviewPaintRequest(QPrintPreviewDialog* preview, QPrinter* printer,
                                           PAbsLineMsgsSource source)
{
    if (!printer || !source)
        return;
    ProgressForm form(QString(), preview ? static_cast<QWidget*>(preview) : m_window);
    form.setModal(false);
    form.show();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    JobControl::Listener listener;
    listener.status = [&form](const QString& status, int percent) {
        form.updateProgress(status, percent, QString());
    };
    listener.progress = [&form](int percent, const QString& text) {
        form.updateProgress(QString(), percent, text);
    };
    listener.cancelled = [&form, &sinceEvents] {
        if (sinceEvents.elapsed() >= kEventsEveryMs) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return form.isCancelled();
    };
    JobControl control(listener);
    PrintLineMsgsPreview::Outcome outcome;
    try {
        outcome = PrintLineMsgsPreview::printPages(*printer, source, control);
    } catch (const std::exception& failure) {
        form.hide();
        showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), m_window);
        return;
    }
    form.hide();
    if (outcome.truncated && !outcome.cancelled) {
        showTips(PrintLineMsgsPreview::pageLimitText(), m_window);
        // Queued: the preview is inside its own paint request now.
        if (preview)
            QMetaObject::invokeMethod(preview, "close", Qt::QueuedConnection);
    }
}
