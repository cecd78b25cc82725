#pragma once

#include <QString>

namespace AppInfo {
// Identifies this product to the vendor's services and names its data folder.
inline const QString productId = QStringLiteral("4C1D7A92E05B48F3A6D19C3B7E82F054");
inline const QString vendorFolder = QStringLiteral("Vantorel");
inline const QString version = QStringLiteral("3.1.99");
} // namespace AppInfo
