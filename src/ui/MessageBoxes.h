#pragma once

#include "ui/MessageBoxBuilder.h"

// The message boxes the program shows. Texts are rich text; each box is modal and returns when closed.

// Information icon, OK.
void showTips(const QString& text, QWidget* parent = nullptr,
              const MessageBoxBuilder::TextLabelHook& textLabelHook = {});
// Warning icon, OK.
void showWarning(const QString& text, QWidget* parent = nullptr);
// Question icon, Yes and No; true when Yes was clicked.
bool askYesNo(const QString& text, QWidget* parent = nullptr);
// Critical icon, OK, with the product heading and the support sentence; afterwards the text goes to the
// error report.
void showErrorReport(const QString& text, QWidget* parent = nullptr);
// Any icon and buttons; the standard button clicked.
QMessageBox::StandardButton showMessage(QMessageBox::Icon icon, const QString& text,
                                        QMessageBox::StandardButtons buttons, bool withHeading,
                                        QWidget* parent = nullptr,
                                        const MessageBoxBuilder::TextLabelHook& textLabelHook = {});
