#include "ConsoleJobReporter.h"

#include "CliCommand.h"
#include "platform/AppLanguage.h"
#include "platform/Console.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTextStream>
#include <QThread>
#include <optional>

namespace {
constexpr int kBarCells = 24;
// A terminal is redrawn at most this often unless the percentage changed.
constexpr qint64 kRedrawIntervalMs = 100;
} // namespace

ConsoleJobReporter::ConsoleJobReporter(CliContext& context)
    : m_out(context.out), m_err(context.err), m_progress(context.progress()),
      m_columns(qMax(terminalColumns(), 20)), m_cancelled(&context.interruptFlag())
{
}

ConsoleJobReporter::ConsoleJobReporter(QTextStream& out, QTextStream& err, CliProgress progress, int columns)
    : m_out(out), m_err(err), m_progress(progress), m_columns(qMax(columns, 20)), m_cancelled(&m_ownFlag)
{
}

ConsoleJobReporter::ConsoleJobReporter(QTextStream& out, QTextStream& err, bool terminal, int columns)
    : ConsoleJobReporter(out, err, terminal ? CliProgress::Bar : CliProgress::Lines, columns)
{
}

ConsoleJobReporter::ConsoleJobReporter(QTextStream& out, QTextStream& err)
    : ConsoleJobReporter(out, err, standardErrorIsTerminal() ? CliProgress::Bar : CliProgress::Hidden,
                         terminalColumns())
{
}

QString ConsoleJobReporter::progressBarLine(const QString& status, int percent, const QString& text,
                                            int columns)
{
    const int clamped = qBound(0, percent, 100);
    const int filled = clamped * kBarCells / 100;
    QString line = QLatin1Char('[') + QString(filled, QLatin1Char('#')) +
                   QString(kBarCells - filled, QLatin1Char('-')) + QStringLiteral("] ") +
                   QStringLiteral("%1%").arg(clamped, 3);
    if (!status.isEmpty())
        line += QLatin1Char(' ') + status;
    if (!text.isEmpty())
        line += (status.isEmpty() ? QStringLiteral(" ") : QStringLiteral(": ")) + text;
    // The last column stays free: writing into it wraps some terminals to the next line.
    const int width = qMax(columns - 1, 1);
    if (line.size() > width) {
        line.truncate(width);
        if (line.back().isHighSurrogate())
            line.chop(1);
    }
    return line;
}

void ConsoleJobReporter::drawBar(bool force)
{
    if (!force && m_barShown && m_sinceDraw.isValid() && m_sinceDraw.elapsed() < kRedrawIntervalMs)
        return;
    const QString line = progressBarLine(m_status, m_percent, m_text, m_columns);
    m_err << '\r' << line.leftJustified(m_columns - 1);
    m_err.flush();
    m_barShown = true;
    m_sinceDraw.start();
}

void ConsoleJobReporter::endBar()
{
    if (m_barShown) {
        m_err << '\n';
        m_err.flush();
        m_barShown = false;
    }
}

void ConsoleJobReporter::updateProgress(const QString& status, int curProgress, const QString& progressText)
{
    const bool statusChanged = !status.isEmpty() && status != m_status;
    if (!status.isEmpty())
        m_status = status;
    const bool percentChanged = curProgress >= 0 && qMin(curProgress, 100) != m_percent;
    if (curProgress >= 0)
        m_percent = qMin(curProgress, 100);
    m_text = progressText;

    if (m_progress == CliProgress::Hidden)
        return;
    if (m_progress == CliProgress::Bar) {
        drawBar(statusChanged || percentChanged);
        return;
    }
    if (statusChanged)
        m_err << m_status << '\n';
    if (percentChanged || (statusChanged && m_printedPercent < 0)) {
        m_err << QStringLiteral("%1%").arg(m_percent, 3);
        if (!m_text.isEmpty())
            m_err << ' ' << m_text;
        m_err << '\n';
        m_printedPercent = m_percent;
    }
    m_err.flush();
}

void ConsoleJobReporter::succeed(const QString& result)
{
    if (m_outcome != Outcome::None)
        return;
    m_outcome = Outcome::Succeeded;
    m_result = result;
}

void ConsoleJobReporter::showLink(const QString& address, const QString& text)
{
    if (m_outcome == Outcome::None)
        m_link = text == address ? address : QStringLiteral("%1: %2").arg(text, address);
}

void ConsoleJobReporter::errorOccurred(const QString& text)
{
    if (m_outcome != Outcome::None)
        return;
    m_outcome = Outcome::Failed;
    m_result = text;
}

int ConsoleJobReporter::run(QThread& job)
{
    // Jobs report message keys; the translator turns them into sentences in the user's language.
    static const bool languageInstalled = !setAppLanguage(QString()).isEmpty();
    Q_UNUSED(languageInstalled);
    // A reporter of its own catches Ctrl+C itself; a command's is caught for the whole command.
    std::optional<InterruptCatcher> interrupt;
    if (m_cancelled == &m_ownFlag)
        interrupt.emplace(m_ownFlag);
    QEventLoop loop;
    // Queued: the reports the job posted before it ended arrive first.
    connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    job.start();
    loop.exec();
    job.wait();
    QCoreApplication::sendPostedEvents(this);
    if (m_progress == CliProgress::Bar && m_barShown)
        drawBar(true);
    endBar();

    switch (m_outcome) {
    case Outcome::Succeeded: {
        QTextStream& stream = m_resultOnError ? m_err : m_out;
        if (!m_result.isEmpty())
            stream << m_result << '\n';
        if (!m_link.isEmpty())
            stream << m_link << '\n';
        stream.flush();
        return CliOk;
    }
    case Outcome::Failed:
        m_out.flush();
        m_err << "error: " << m_result << '\n';
        if (!m_link.isEmpty())
            m_err << m_link << '\n';
        m_err.flush();
        return CliFailed;
    case Outcome::None:
        break;
    }
    m_out.flush();
    if (isCancelled()) {
        m_err << "cancelled\n";
        m_err.flush();
        return CliCancelled;
    }
    m_err << "error: the job ended without a result\n";
    m_err.flush();
    return CliFailed;
}
