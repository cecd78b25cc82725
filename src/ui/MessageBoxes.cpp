#include "ui/MessageBoxes.h"

#include "app/VendorConfig.h"
#include "online/ErrorReport.h"

QMessageBox::StandardButton showMessage(QMessageBox::Icon icon, const QString& text,
                                        QMessageBox::StandardButtons buttons, bool withHeading,
                                        QWidget* parent,
                                        const MessageBoxBuilder::TextLabelHook& textLabelHook)
{
    return MessageBoxBuilder(icon, text)
        .setButtons(buttons)
        .setHeading(withHeading)
        .setParent(parent)
        .setTextLabelHook(textLabelHook)
        .exec();
}

void showTips(const QString& text, QWidget* parent, const MessageBoxBuilder::TextLabelHook& textLabelHook)
{
    showMessage(QMessageBox::Information, text, QMessageBox::Ok, false, parent, textLabelHook);
}

void showWarning(const QString& text, QWidget* parent)
{
    showMessage(QMessageBox::Warning, text, QMessageBox::Ok, false, parent);
}

bool askYesNo(const QString& text, QWidget* parent)
{
    return showMessage(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, false, parent) ==
           QMessageBox::Yes;
}

void showErrorReport(const QString& text, QWidget* parent)
{
    showMessage(QMessageBox::Critical, MessageBoxBuilder::errorText(text, VendorConfig::supportEmail()),
                QMessageBox::Ok, true, parent);
    ErrorReport::send(text);
}
