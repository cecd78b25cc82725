#include "ui/ProgressForm.h"

#include "app/StyleSheet.h"
#include "app/TextUtils.h"
#include "ui/MessageBoxes.h"
#include "ui/WinMovable.h"
#include "ui_ProgressForm.h"

#include <QThread>

namespace {
constexpr unsigned long kWaitStepMs = 1000;
} // namespace

ProgressForm::ProgressForm(const QString& title, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ProgressForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    setFixedSize(350, 122);
    setWindowTitle(title);
    m_ui->lbStatus->setText(title);
    WinMovable::attach(this);
    connect(this, &QDialog::finished, this, &ProgressForm::onFinish);
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &ProgressForm::cancel);
}

ProgressForm::~ProgressForm() = default;

void ProgressForm::showEvent(QShowEvent* event)
{
    m_finished = false;
    QDialog::showEvent(event);
}

void ProgressForm::setCancelEnabled(bool enabled)
{
    m_ui->btnCancel->setEnabled(enabled);
}

void ProgressForm::updateProgress(const QString& status, int curProgress, const QString& progressText)
{
    if (!status.isEmpty())
        m_ui->lbStatus->setText(status);
    if (curProgress >= 0)
        m_ui->progressBar->setValue(qMin(curProgress, m_ui->progressBar->maximum()));
    const QString text =
        progressText.isEmpty() ? tr("Progress:%1%").arg(m_ui->progressBar->value()) : progressText;
    // A long item (a group chat's member list, a deep path) is shortened in the middle to the form's
    // width rather than cut off at both ends; the whole text stays in the tool tip.
    QLabel* label = m_ui->lbProgress;
    label->setToolTip(text);
    label->setText(isVisible()
                       ? label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->contentsRect().width())
                       : text);
}

void ProgressForm::errorOccurred(const QString& tipsStr)
{
    if (m_finished) {
        qWarning("a job reported an error after its progress form closed: %s", qUtf8Printable(tipsStr));
        return;
    }
    showErrorReport(richTextOf(tipsStr), this);
    done(0);
}

void ProgressForm::succeed(const QString& result)
{
    if (m_finished) {
        qWarning("a job reported success after its progress form closed: %s", qUtf8Printable(result));
        return;
    }
    if (!result.isEmpty() || !m_link.isEmpty())
        showTips(richTextOf(result), this);
    done(1);
}

void ProgressForm::showLink(const QString& address, const QString& text)
{
    m_link = address;
    m_linkText = text;
}

QString ProgressForm::richTextOf(const QString& plainText)
{
    QString rich = htmlEscape(plainText);
    if (!m_link.isEmpty()) {
        if (!rich.isEmpty())
            rich += QStringLiteral("<br/>");
        rich +=
            QStringLiteral("<a href=\"%1\">%2</a>").arg(htmlAttributeEscape(m_link), htmlEscape(m_linkText));
        m_link.clear();
        m_linkText.clear();
    }
    return rich;
}

void ProgressForm::onFinish(int result)
{
    m_finished = true;
    m_cancelled = result == 0;
}

void ProgressForm::tipsWait(const QString& info)
{
    showTips(richTextOf(info), this);
    m_waiting = false;
}

void ProgressForm::cancel()
{
    if (m_finished)
        return;
    if (!askYesNo(tr("Are You Sure You Want To Cancel?"), this))
        return;
    // The job may have finished while the question was open; its result stands.
    if (m_finished)
        return;
    emit userCancel();
    done(0);
}

void ProgressForm::reject()
{
    cancel();
}

void ProgressForm::setCancelBtnText(const QString& text)
{
    m_ui->btnCancel->setText(text);
}

void ProgressForm::waitForThread(QThread* thread, bool stopIfCancelled)
{
    int secondsSinceCancel = 0;
    while (!thread->wait(kWaitStepMs)) {
        if (!stopIfCancelled || !isCancelled())
            continue;
        // Terminating a thread can leave its files and locks half-written, so a job that honours the
        // cancel flag gets time to reach its next check first.
        if (++secondsSinceCancel < m_terminateGraceSeconds)
            continue;
        qWarning("a cancelled job did not stop within %d s; terminating its thread", m_terminateGraceSeconds);
        thread->terminate();
        thread->wait(kWaitStepMs);
    }
}
