#pragma once

#include <QList>
#include <QString>

// One file from the computer to put into a backup.
struct MergeItem
{
    QString domain;         // e.g. "AppDomainGroup-group.com.linecorp.line"
    QString localPath;      // the file on the computer
    QString relativePath;   // its path inside the domain
    bool overwrite = false; // replace a content file already in the backup
    bool classD = false;    // protection class 4 (else 3) in an encrypted backup
};
