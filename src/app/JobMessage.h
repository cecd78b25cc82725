#pragma once

#include <QString>

// What a job tells the user when it ends: plain text (line breaks as "\n", no markup) and at most one
// link, an address with the words to show for it. A dialog escapes the text and shows the link as a link;
// the console prints both as they are.
struct JobMessage
{
    QString text;
    QString link;
    QString linkText;

    JobMessage() = default;
    JobMessage(QString plainText) : text(std::move(plainText)) {} // NOLINT: a text alone is a message
    JobMessage(QString plainText, QString address, QString addressText)
        : text(std::move(plainText)), link(std::move(address)), linkText(std::move(addressText))
    {
    }

    bool isEmpty() const { return text.isEmpty() && link.isEmpty(); }
};
