#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <functional>
#include <memory>

class QLabel;

// Builds every message box of the program: frameless, styled by the application style sheet, draggable,
// rich text, title tr("Ferrowyn"), and buttons in one fixed order whatever the platform's dialog layout
// (Yes, No, OK, Cancel, Abort, Retry, Ignore).
class MessageBoxBuilder
{
    Q_DECLARE_TR_FUNCTIONS(MessageBoxBuilder)

public:
    // Called with the box's text label before it is shown, for example to connect its linkActivated.
    using TextLabelHook = std::function<void(QLabel*)>;

    MessageBoxBuilder(QMessageBox::Icon icon, const QString& text);

    MessageBoxBuilder& setButtons(QMessageBox::StandardButtons buttons);
    // Prefixes the text with the product name and version in bold.
    MessageBoxBuilder& setHeading(bool withHeading);
    MessageBoxBuilder& setParent(QWidget* parent);
    MessageBoxBuilder& setTextLabelHook(TextLabelHook hook);

    // The box, ready to run; the standard button of each of its buttons is standardButtonOf(button).
    std::unique_ptr<QMessageBox> build() const;
    // Runs the box modally; the button clicked, or the escape button's value when it was closed otherwise.
    QMessageBox::StandardButton exec() const;

    static QMessageBox::StandardButton standardButtonOf(const QAbstractButton* button);
    // The buttons that can be asked for, in the order they are shown.
    static const QList<QMessageBox::StandardButton>& buttonOrder();
    static QString buttonLabel(QMessageBox::StandardButton button);
    // "<nobr><b>Ferrowyn v3.1.99</b></nobr><br/><br/>"
    static QString heading();
    // The error dialog's text for an error (rich text); the contact sentence only when there is an address.
    static QString errorText(const QString& error, const QString& supportEmail);

private:
    QMessageBox::Icon m_icon;
    QString m_text;
    QMessageBox::StandardButtons m_buttons = QMessageBox::Ok;
    bool m_withHeading = false;
    QWidget* m_parent = nullptr;
    TextLabelHook m_textLabelHook;
};
