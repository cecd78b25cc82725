#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of the mobilebackup2 engine: the size shown while files arrive and the message for a
// conversation that the device (or the engine) ended with a non-zero result. Plain text; the translator
// context is the engine's.
class Backup2ErrorText
{
    Q_DECLARE_TR_FUNCTIONS(backup2tool)

public:
    // 999 Bytes, 1.0 KB, 1.5 MB, 2.0 GB, 3.0 TB (decimal units).
    static QString sizeText(qint64 bytes);

    // "error code:<code>. <advice>" and, after an empty line, the device's own text. Known texts change
    // the code: Find My iPhone -37, lost connections -10, a full disk -36.
    static QString message(int code, const QString& deviceText, bool restore);

    static constexpr int kFindMyIPhone = -37;
    static constexpr int kDiskFull = -36;
    static constexpr int kConnection = -10;
};
