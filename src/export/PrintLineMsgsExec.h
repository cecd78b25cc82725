#pragma once

#include "export/PrintBubbleKind.h"
#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QDate>
#include <QFont>
#include <QRect>
#include <functional>

class JobControl;
class PdfTextMapping;
class PrintText;
class QPagedPaintDevice;
class QPainter;

// Paints messages on the pages of a printer or a PDF writer as a chat looks on the phone: coloured
// pages, a date banner whenever the day changes, received messages on the left under their sender's
// name, the owner's on the right, the time inside each bubble, photos and videos as pictures, and the
// page number in the footer. One object paints one run on one device.
class PrintLineMsgsExec
{
    Q_DECLARE_TR_FUNCTIONS(PrintLineMsgsExec)

public:
    // Paints the messages from index `first` on; at most maxPages pages (0: no limit), numbered from
    // pageBase * maxPages + 1.
    PrintLineMsgsExec(QPagedPaintDevice& device, PAbsLineMsgsSource source, qint64 first, int maxPages,
                      int pageBase);
    ~PrintLineMsgsExec();
    PrintLineMsgsExec(const PrintLineMsgsExec&) = delete;
    PrintLineMsgsExec& operator=(const PrintLineMsgsExec&) = delete;

    // For a PDF: records what the glyphs stand for (see PdfTextMapping).
    void setTextMapping(PdfTextMapping* mapping) { m_mapping = mapping; }
    // Called after each message with the messages painted in this run and the source's count from the
    // first index; by default the control's progress is set.
    void setProgress(std::function<void(qint64 printed, qint64 total)> progress)
    {
        m_progress = std::move(progress);
    }

    // Paints until the source is exhausted, the page limit is reached or the control is cancelled (asked
    // after every message: a caller on the GUI thread processes its events there). A message never
    // spreads over a page limit, except one that alone needs more pages than the limit allows: that one is
    // painted whole at the start of a run, so that a run always makes progress. Throws std::runtime_error
    // when the device cannot be painted on.
    void run(JobControl& control);

    qint64 printedCount() const { return m_printed; }
    bool truncated() const { return m_truncated; }
    bool cancelled() const { return m_cancelled; }
    int pageCount() const { return m_page; }

private:
    struct Bubble;

    void startPage();
    bool ensureSpace(int height);
    bool drawDateBanner(const _LineMsg& message);
    bool drawMessage(const _LineMsg& message);
    bool drawTallText(const Bubble& bubble, int x, int senderHeight, const PrintText* sender);
    void drawBubble(const Bubble& bubble, int x, int y, int fromLine, int toLine, bool withCaption);
    QFont fontOfSize(int points) const;
    int pagesLeft() const;

    QPagedPaintDevice& m_device;
    PAbsLineMsgsSource m_source;
    qint64 m_first;
    int m_maxPages;
    int m_pageBase;
    PdfTextMapping* m_mapping = nullptr;
    std::function<void(qint64, qint64)> m_progress;

    QPainter* m_painter = nullptr;
    QRect m_content;
    QRect m_page_rect;
    int m_y = 0;
    int m_page = 0;
    QDate m_lastDate;
    qint64 m_printed = 0;
    bool m_truncated = false;
    bool m_cancelled = false;
    QFont m_baseFont;
};
