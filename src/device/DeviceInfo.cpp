#include "device/DeviceInfo.h"

#include "platform/AppDataDir.h"

#include <QRegularExpression>

void DeviceInfo::setIdentity(const PlistCFType& lockdownRoot)
{
    name = lockdownRoot.value(QStringLiteral("DeviceName")).getString();
    countryCode = lockdownRoot.value(QStringLiteral("MobileSubscriberCountryCode")).getString();
    productVersion = lockdownRoot.value(QStringLiteral("ProductVersion")).getString();
    productType = lockdownRoot.value(QStringLiteral("ProductType")).getString();
}

QList<int> versionNumbers(const DeviceInfo& device)
{
    static const QRegularExpression number(QStringLiteral("\\.?(\\d+)"));
    QList<int> numbers;
    for (auto it = number.globalMatch(device.productVersion); it.hasNext();)
        numbers.append(it.next().captured(1).toInt());
    return numbers;
}

bool versionAtLeast(const DeviceInfo& device, int major, int minor)
{
    const QList<int> numbers = versionNumbers(device);
    const int have = numbers.value(0);
    if (have != major)
        return have > major;
    return numbers.value(1) >= minor;
}

QDir deviceCacheDir(const DeviceInfo& device)
{
    const QString path = appDataDir().filePath(QStringLiteral("ios_cache/") + device.udid);
    QDir().mkpath(path);
    return QDir(path);
}

QString lineCacheDir(const DeviceInfo& device)
{
    return deviceCacheDir(device).filePath(QStringLiteral("jp.naver.line"));
}
