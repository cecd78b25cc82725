#include "export/PrintLineMsgsExec.h"

#include "app/JobControl.h"
#include "export/PrintPhoto.h"
#include "export/PrintText.h"
#include "line/EmojiText.h"
#include "line/LineSticker.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScopeGuard>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {
const QColor kBackground = PrintBubbleKind::kPageColour;
const QColor kPageNumber(146, 146, 165);
const QColor kBannerText(255, 255, 255);
const QColor kMessageText(0, 0, 0);
const QColor kSenderName(255, 255, 255);
const QColor kTime(192, 188, 188);

constexpr int kTextPoints = 12;
constexpr int kSenderPoints = 10;
constexpr int kTimePoints = 9;
constexpr int kGap = 10;       // below every bubble
constexpr int kCaptionGap = 6; // between a bubble's content and its time
constexpr int kNumberTop = 2;  // the page number's band below the content
constexpr int kNumberBottom = 19;

// What a text message prints: its text with emoji kept, except LINE's own private-use emoji, which no
// font shows.
QString printedText(const QString& text)
{
    return EmojiText::replaceEmoji(text, [](const QString& code) {
        const uint point = code.toUInt(nullptr, 16);
        if (point >= 0xE000 && point <= 0xF8FF)
            return EmojiText::Marker;
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
    });
}

QString bodyText(const _LineMsg& message)
{
    switch (message.type) {
    case MessageType::Voice:
        return QStringLiteral("[VOICE]");
    case MessageType::Sticker:
        return QStringLiteral("[STICKER-%1]").arg(message.sticker().id);
    case MessageType::Contact:
        return QStringLiteral("Contact:\n") + message.contactName();
    case MessageType::File:
        return message.fileName();
    case MessageType::Location:
        return message.displayText();
    case MessageType::Text:
        return printedText(message.text);
    default:
        return message.displayText();
    }
}
} // namespace

struct PrintLineMsgsExec::Bubble
{
    PrintBubbleKind::Kind kind = PrintBubbleKind::Received;
    const PrintBubbleKind* style = nullptr;
    std::unique_ptr<PrintText> text;
    QImage picture;
    std::unique_ptr<PrintText> caption;
    QColor color;
    QSize size;
    int captionHeight = 0; // with the gap above it; 0 without a caption

    bool isNull() const { return !text && picture.isNull(); }
    int contentHeight(int fromLine, int toLine) const
    {
        if (!text)
            return picture.height();
        return int(std::ceil(text->lineTop(toLine) - text->lineTop(fromLine)));
    }
    // The height of the part showing lines [fromLine, toLine), with or without the time.
    int pieceHeight(int fromLine, int toLine, bool withCaption) const
    {
        const int height = style->inset.top() + contentHeight(fromLine, toLine) + style->inset.bottom() +
                           (withCaption ? captionHeight : 0);
        return std::max(height, style->minimum.height());
    }
};

PrintLineMsgsExec::PrintLineMsgsExec(QPagedPaintDevice& device, PAbsLineMsgsSource source, qint64 first,
                                     int maxPages, int pageBase)
    : m_device(device), m_source(std::move(source)), m_first(std::max<qint64>(0, first)),
      m_maxPages(std::max(0, maxPages)), m_pageBase(std::max(0, pageBase)),
      m_baseFont(QGuiApplication::font())
{
}

PrintLineMsgsExec::~PrintLineMsgsExec() = default;

QFont PrintLineMsgsExec::fontOfSize(int points) const
{
    QFont font = m_baseFont;
    font.setPointSize(points);
    return font;
}

void PrintLineMsgsExec::run(JobControl& control)
{
    m_printed = 0;
    m_truncated = false;
    m_cancelled = false;
    m_lastDate = QDate();

    QPainter painter;
    if (!painter.begin(&m_device))
        throw std::runtime_error(tr("The pages cannot be printed.").toStdString());
    m_painter = &painter;
    const auto endPainting = qScopeGuard([&] {
        painter.end();
        m_painter = nullptr;
    });
    m_content = QRect(0, 0, m_device.width(), m_device.height());
    const int resolution = m_device.logicalDpiX();
    const QPageLayout layout = m_device.pageLayout();
    const QRect paint = layout.paintRectPixels(resolution);
    const QRect full = layout.fullRectPixels(resolution);
    m_page_rect = QRect(full.topLeft() - paint.topLeft(), full.size());
    m_page = 0;
    startPage();

    const qint64 count = m_source ? m_source->count() : 0;
    const qint64 total = std::max<qint64>(0, count - m_first);
    for (qint64 i = m_first; i < count; ++i) {
        if (control.isCancelled()) {
            m_cancelled = true;
            break;
        }
        const _LineMsg message = m_source->message(i);
        if (!drawMessage(message)) {
            m_truncated = true;
            break;
        }
        ++m_printed;
        if (m_progress)
            m_progress(m_printed, total);
        else
            control.setProgress(m_printed, total);
    }
}

void PrintLineMsgsExec::startPage()
{
    ++m_page;
    m_y = m_content.top();
    m_painter->fillRect(m_page_rect, kBackground);
    const qint64 number = qint64(m_pageBase) * m_maxPages + m_page;
    const PrintText text(QString::number(number), fontOfSize(kTextPoints), 0, &m_device);
    const int bandTop = m_content.bottom() + kNumberTop;
    const int bandHeight = kNumberBottom - kNumberTop + 1;
    const QPointF at(m_content.right() + 1 - text.size().width(),
                     bandTop + (bandHeight - text.size().height()) / 2);
    text.draw(*m_painter, at, kPageNumber, m_mapping);
}

int PrintLineMsgsExec::pagesLeft() const
{
    return m_maxPages > 0 ? m_maxPages - m_page : std::numeric_limits<int>::max();
}

bool PrintLineMsgsExec::ensureSpace(int height)
{
    if (m_content.bottom() - m_y + 1 >= height)
        return true;
    if (pagesLeft() <= 0)
        return false;
    if (!m_device.newPage())
        throw std::runtime_error(tr("The pages cannot be printed.").toStdString());
    startPage();
    return true;
}

bool PrintLineMsgsExec::drawMessage(const _LineMsg& message)
{
    const bool owner = message.isOutgoing();
    const PrintBubbleKind::Kind kind = owner ? PrintBubbleKind::Sent : PrintBubbleKind::Received;
    Bubble bubble;
    bubble.kind = kind;
    bubble.style = &PrintBubbleKind::of(kind);
    bubble.color = kMessageText;
    const QMargins inset = bubble.style->inset;
    int contentWidth = 0;
    if (message.type == MessageType::Photo || message.type == MessageType::Video) {
        bubble.picture = printPhoto(message.thumbPath);
        contentWidth = bubble.picture.width();
    } else {
        const QString text = bodyText(message);
        if (!text.trimmed().isEmpty()) {
            bubble.text = std::make_unique<PrintText>(
                text, fontOfSize(kTextPoints), m_content.width() - inset.left() - inset.right(), &m_device);
            contentWidth = int(bubble.text->size().width());
        }
    }

    std::unique_ptr<PrintText> sender;
    int senderHeight = 0;
    if (message.sender) {
        const QFont font = fontOfSize(kSenderPoints);
        const QString name =
            QFontMetrics(font, &m_device)
                .elidedText(message.sender->displayName(), Qt::ElideRight, m_content.width());
        sender = std::make_unique<PrintText>(name, font, 0, &m_device);
        senderHeight = int(sender->size().height()) + 2;
    }

    if (!bubble.isNull()) {
        bubble.caption = std::make_unique<PrintText>(message.time.toString(QStringLiteral("hh:mm ap")),
                                                     fontOfSize(kTimePoints), 0, &m_device);
        const int captionWidth = int(std::ceil(bubble.caption->size().width()));
        bubble.captionHeight = int(std::ceil(bubble.caption->size().height())) + kCaptionGap;
        const int width = inset.left() + std::max(contentWidth, captionWidth) + inset.right();
        bubble.size = QSize(std::max(width, bubble.style->minimum.width()),
                            bubble.pieceHeight(0, bubble.text ? bubble.text->lineCount() : 0, true));
    }
    const int messageHeight = senderHeight + (bubble.isNull() ? 0 : bubble.size.height());

    // The date banner stays on the page of the message it announces.
    const QDate date = message.time.date();
    if (date != m_lastDate) {
        const PrintBubbleKind& style = PrintBubbleKind::of(PrintBubbleKind::DateBanner);
        const PrintText text(message.time.toString(QStringLiteral("dd MMM yyyy")), fontOfSize(kTextPoints),
                             m_content.width() - style.inset.left() - style.inset.right(), &m_device);
        const QSize size(std::max(style.inset.left() + int(text.size().width()) + style.inset.right(),
                                  style.minimum.width()),
                         std::max(style.inset.top() + int(text.size().height()) + style.inset.bottom(),
                                  style.minimum.height()));
        const int together = size.height() + kGap + messageHeight;
        if (!ensureSpace(together <= m_content.height() ? together : size.height()))
            return false;
        const QRect rect(m_content.left() + (m_content.width() - size.width() + 1) / 2, m_y, size.width(),
                         size.height());
        style.drawFrame(*m_painter, rect, PrintBubbleKind::DateBanner);
        text.draw(*m_painter, QPointF(rect.left() + style.inset.left(), rect.top() + style.inset.top()),
                  kBannerText, m_mapping);
        m_y += size.height() + kGap;
        m_lastDate = date;
    }

    if (bubble.isNull())
        return true; // nothing to show, as an empty text
    const int x = owner ? m_content.right() + 1 - bubble.size.width() : m_content.left();
    if (messageHeight > m_content.height() && bubble.text)
        return drawTallText(bubble, x, senderHeight, sender.get());
    if (!ensureSpace(messageHeight))
        return false;
    if (sender) {
        sender->draw(*m_painter, QPointF(m_content.left(), m_y), kSenderName, m_mapping);
        m_y += senderHeight;
    }
    drawBubble(bubble, x, m_y, 0, bubble.text ? bubble.text->lineCount() : 0, true);
    m_y += bubble.size.height() + kGap;
    return true;
}

bool PrintLineMsgsExec::drawTallText(const Bubble& bubble, int x, int senderHeight, const PrintText* sender)
{
    // Lay the lines out over as many pages as they need, the first part under the sender's name.
    struct Piece
    {
        int from;
        int to;
        bool newPageFirst;
    };
    std::vector<Piece> pieces;
    const int lines = bubble.text->lineCount();
    const QMargins inset = bubble.style->inset;
    int y = m_y;
    int line = 0;
    bool pageBreak = false; // the next piece starts on a new page
    while (line < lines) {
        const int top = y + (pieces.empty() ? senderHeight : 0) + inset.top();
        const int room = m_content.bottom() + 1 - top - inset.bottom();
        int end = line;
        while (end < lines && bubble.text->lineTop(end + 1) - bubble.text->lineTop(line) <= room)
            ++end;
        if (end == lines && bubble.contentHeight(line, end) + bubble.captionHeight > room && end - 1 > line)
            --end; // the last line goes over with the time
        if (end == line) {
            if (y != m_content.top()) { // not even a line fits here: start on the next page
                y = m_content.top();
                pageBreak = true;
                continue;
            }
            end = line + 1; // a line taller than a page
        }
        pieces.push_back({line, end, pageBreak});
        pageBreak = true;
        line = end;
        y = m_content.top();
    }
    int newPages = 0;
    for (const Piece& piece : pieces)
        newPages += piece.newPageFirst ? 1 : 0;
    // Past the limit only when this message alone opens the run.
    if (newPages > pagesLeft() && m_printed > 0)
        return false;

    bool first = true;
    for (const Piece& piece : pieces) {
        if (piece.newPageFirst) {
            if (!m_device.newPage())
                throw std::runtime_error(tr("The pages cannot be printed.").toStdString());
            startPage();
        }
        if (first && sender) {
            sender->draw(*m_painter, QPointF(m_content.left(), m_y), kSenderName, m_mapping);
            m_y += senderHeight;
        }
        first = false;
        const bool last = piece.to == lines;
        drawBubble(bubble, x, m_y, piece.from, piece.to, last);
        m_y += bubble.pieceHeight(piece.from, piece.to, last) + kGap;
    }
    return true;
}

void PrintLineMsgsExec::drawBubble(const Bubble& bubble, int x, int y, int fromLine, int toLine,
                                   bool withCaption)
{
    const QMargins inset = bubble.style->inset;
    const QRect rect(x, y, bubble.size.width(), bubble.pieceHeight(fromLine, toLine, withCaption));
    bubble.style->drawFrame(*m_painter, rect, bubble.kind);
    const QPointF content(x + inset.left(), y + inset.top());
    if (bubble.text)
        bubble.text->draw(*m_painter, content, bubble.color, m_mapping, fromLine, toLine);
    else
        m_painter->drawImage(content, bubble.picture);
    if (withCaption && bubble.caption) {
        const QSizeF caption = bubble.caption->size();
        const QPointF at(rect.right() + 1 - inset.right() - caption.width(),
                         rect.bottom() + 1 - inset.bottom() - caption.height());
        bubble.caption->draw(*m_painter, at, kTime, m_mapping);
    }
}
