#pragma once

#include "online/VendorEndpoint.h"

#include <QCoreApplication>
#include <QUrl>

class QWidget;

// The Tools and Help entries that lead to the vendor: the update page, the help page and the support
// page, opened in the browser. They come from the configured vendor service; without one nothing is
// opened or sent, and the user is told so.
class WindowOnlineActions
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit WindowOnlineActions(VendorEndpoint endpoint = VendorEndpoint::configured());

    // The addresses opened; invalid without a service.
    QUrl updatePage() const;
    QUrl helpPage() const;
    // The support page, or a mail to the configured support address when there is no service.
    QUrl feedbackAddress() const;

    void checkForUpdate(QWidget* parent) const;
    void help(QWidget* parent) const;
    void feedback(QWidget* parent) const;

private:
    void open(const QUrl& address, const QString& unavailable, QWidget* parent) const;

    VendorEndpoint m_endpoint;
};
