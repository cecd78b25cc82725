#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// One LINE user, owned by a _LineData.
struct _LineUser
{
    Q_DECLARE_TR_FUNCTIONS(_LineUser)

public:
    qint64 id = 0; // row key in the database it was read from
    QString uid;   // LINE mid
    QString addressBookName;
    QString name;       // the name on LINE's server
    QString customName; // a name the owner gave
    QDateTime createdTime;
    QString pictureUrl;

    // The address-book name, else the custom name, else the server name, else "Unknown".
    QString displayName() const;
};
