#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>

class JobControl;
class QPrinter;
class QWidget;

// The print preview of messages: an A4 preview on the system's printer (a PDF printer when there is
// none), whose pages the main window paints when asked (previewPaintRequest), normally with printPages.
class PrintLineMsgsPreview : public QObject
{
    Q_OBJECT

public:
    // A preview paints at most this many pages; more are exported to PDF and printed from there.
    static constexpr int kMaxPages = 100;

    explicit PrintLineMsgsPreview(QWidget* parent);
    ~PrintLineMsgsPreview() override;

    // Shows the preview of the source's messages and returns when it is closed.
    void exec(const PAbsLineMsgsSource& source);
    // The preview while exec() runs (to close it, say).
    QPrintPreviewDialog* dialog() const { return m_dialog; }

    struct Outcome
    {
        qint64 printed = 0;
        int pages = 0;
        bool truncated = false; // stopped at kMaxPages
        bool cancelled = false;
    };
    // Paints the source's messages from the first on the printer, at most kMaxPages pages.
    static Outcome printPages(QPrinter& printer, const PAbsLineMsgsSource& source, JobControl& control);
    // What to tell the user when printPages stopped at the page limit.
    static QString pageLimitText();
    // The status while pages are painted.
    static QString printingText();

signals:
    void previewPaintRequest(QPrintPreviewDialog* preview, QPrinter* printer, PAbsLineMsgsSource source);

public slots:
    void onPaintRequest(QPrinter* printer);

private:
    QWidget* m_parent;
    PAbsLineMsgsSource m_source;
    QPointer<QPrintPreviewDialog> m_dialog;
};
