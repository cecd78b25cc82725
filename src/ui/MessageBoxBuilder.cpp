#include "ui/MessageBoxBuilder.h"

#include "app/AppInfo.h"
#include "app/StyleSheet.h"
#include "app/TextUtils.h"
#include "ui/WinMovable.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const char* const kStandardButtonProperty = "ferrowynStandardButton";
constexpr int kTipsIconHeight = 32;
} // namespace

MessageBoxBuilder::MessageBoxBuilder(QMessageBox::Icon icon, const QString& text) : m_icon(icon), m_text(text)
{
}

MessageBoxBuilder& MessageBoxBuilder::setButtons(QMessageBox::StandardButtons buttons)
{
    m_buttons = buttons;
    return *this;
}

MessageBoxBuilder& MessageBoxBuilder::setHeading(bool withHeading)
{
    m_withHeading = withHeading;
    return *this;
}

MessageBoxBuilder& MessageBoxBuilder::setParent(QWidget* parent)
{
    m_parent = parent;
    return *this;
}

MessageBoxBuilder& MessageBoxBuilder::setTextLabelHook(TextLabelHook hook)
{
    m_textLabelHook = std::move(hook);
    return *this;
}

const QList<QMessageBox::StandardButton>& MessageBoxBuilder::buttonOrder()
{
    static const QList<QMessageBox::StandardButton> order = {
        QMessageBox::Yes,   QMessageBox::No,    QMessageBox::Ok,     QMessageBox::Cancel,
        QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore,
    };
    return order;
}

QString MessageBoxBuilder::buttonLabel(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return tr("Yes");
    case QMessageBox::No:
        return tr("No");
    case QMessageBox::Ok:
        return tr("OK");
    case QMessageBox::Cancel:
        return tr("Cancel");
    case QMessageBox::Abort:
        return tr("Abort");
    case QMessageBox::Retry:
        return tr("Retry");
    case QMessageBox::Ignore:
        return tr("Ignore");
    default:
        return {};
    }
}

QString MessageBoxBuilder::heading()
{
    return QStringLiteral("<nobr><b>") + tr("Ferrowyn") + QStringLiteral(" v") + AppInfo::version +
           QStringLiteral("</b></nobr><br/><br/>");
}

QString MessageBoxBuilder::errorText(const QString& error, const QString& supportEmail)
{
    if (supportEmail.isEmpty())
        return tr("An Error Occurred. <br/><br/>%1").arg(error);
    return tr("An Error Occurred. <br/><br/>%1<br/><br/> Or you can contact %2 for help.")
        .arg(error, htmlEscape(supportEmail));
}

QMessageBox::StandardButton MessageBoxBuilder::standardButtonOf(const QAbstractButton* button)
{
    if (!button)
        return QMessageBox::NoButton;
    return static_cast<QMessageBox::StandardButton>(button->property(kStandardButtonProperty).toInt());
}

std::unique_ptr<QMessageBox> MessageBoxBuilder::build() const
{
    auto box = std::make_unique<QMessageBox>(m_parent);
    box->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    box->setStyleSheet(appStyleSheet());
    box->setWindowTitle(tr("Ferrowyn"));
    box->setTextFormat(Qt::RichText);
    box->setText(m_withHeading ? heading() + m_text : m_text);
    if (m_icon == QMessageBox::Information)
        box->setIconPixmap(QPixmap(QStringLiteral(":/tipsutil_res/icon_info.png"))
                               .scaledToHeight(kTipsIconHeight, Qt::SmoothTransformation));
    else
        box->setIcon(m_icon);

    // All buttons share one role: the button box then keeps the order they were added in, instead of
    // sorting them by the platform's accept/reject layout.
    QAbstractButton* escapeButton = nullptr;
    for (const QMessageBox::StandardButton standard : buttonOrder()) {
        if (!m_buttons.testFlag(standard))
            continue;
        QPushButton* button = box->addButton(buttonLabel(standard), QMessageBox::ActionRole);
        button->setProperty(kStandardButtonProperty, static_cast<int>(standard));
        if (!box->defaultButton())
            box->setDefaultButton(button);
        if (standard == QMessageBox::No || standard == QMessageBox::Cancel ||
            (standard == QMessageBox::Ok && !escapeButton))
            escapeButton = button;
    }
    if (box->buttons().size() == 1)
        escapeButton = box->buttons().first();
    if (escapeButton)
        box->setEscapeButton(escapeButton);

    WinMovable::attach(box.get());
    if (m_textLabelHook) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            m_textLabelHook(label);
    }
    return box;
}

QMessageBox::StandardButton MessageBoxBuilder::exec() const
{
    const std::unique_ptr<QMessageBox> box = build();
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    return standardButtonOf(clicked ? clicked : box->escapeButton());
}
