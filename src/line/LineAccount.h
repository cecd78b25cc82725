#pragma once

#include <QString>

// The owner of a LINE app's data, from the app's preferences: LINE id (mid), display name, phone number.
struct LineAccount
{
    QString uid;
    QString name;
    QString tel;

    bool operator==(const LineAccount&) const = default;
};
