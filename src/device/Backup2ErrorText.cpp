#include "device/Backup2ErrorText.h"

#include "device/HelpLinks.h"

QString Backup2ErrorText::sizeText(qint64 bytes)
{
    const double value = double(bytes);
    if (bytes < 1000)
        return QStringLiteral("%1 Bytes").arg(bytes);
    if (bytes < 1000000)
        return QString::asprintf("%0.1f KB", value / 1000);
    if (bytes < 1000000000)
        return QString::asprintf("%0.1f MB", value / 1000000);
    if (bytes < 1000000000000LL)
        return QString::asprintf("%0.1f GB", value / 1000000000);
    // The divisor a single-precision 10^12 has.
    return QString::asprintf("%0.1f TB", value / 999999995904.0);
}

QString Backup2ErrorText::message(int code, const QString& deviceText, bool restore)
{
    QString text = deviceText.trimmed();
    if (!text.isEmpty()) {
        if (text.contains(QLatin1String("Find My iPhone must be disabled"), Qt::CaseInsensitive))
            code = kFindMyIPhone;
        else if (text.contains(QLatin1String("could not send"), Qt::CaseInsensitive) ||
                 text.contains(QLatin1String("could only send"), Qt::CaseInsensitive) ||
                 text.contains(QLatin1String("Could not receive"), Qt::CaseInsensitive))
            code = kConnection;
        else if (text.contains(QLatin1String("Insufficient free"), Qt::CaseInsensitive) || code == 100)
            code = kDiskFull;
        else if (text.contains(
                     QLatin1String("Failed to move the incomplete restore directory into place at path"),
                     Qt::CaseInsensitive))
            text = tr("Please restart your iPhone first.") + QStringLiteral("\n\n") + text;
    }
    QString advice;
    switch (code) {
    case kFindMyIPhone:
        advice =
            HelpLinks::findMyIPhone().isEmpty()
                ? tr("Please disable \"Find my iPhone\" first and then restart your iPhone to try again.")
                : tr("Please follow this tutorial to disable \"Find my iPhone\" first and then restart "
                     "your iPhone to try again.");
        break;
    case kDiskFull:
        advice = restore
                     ? tr("Insufficient free disk space on device to back up. Not enough free disk space "
                          "on your Device.")
                     : tr("Insufficient free disk space on drive to back up. Not enough free disk space on "
                          "your computer.");
        break;
    case kConnection:
        advice = tr("Error attaching to device. Please Keep your iPhone connected and active.");
        break;
    default:
        if (text.isEmpty())
            advice = tr("Please restart your iPhone to try again.");
        break;
    }
    QString result = QStringLiteral("error code:%1. %2").arg(code).arg(advice).trimmed();
    if (!text.isEmpty())
        result += QStringLiteral("\n\n") + text;
    return result;
}
