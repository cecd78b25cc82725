#pragma once

#include <QString>

// Keys of _LineMsg::atta. The same names are used in memory, in the local database's atta column and in
// exports, so they never change.
namespace LineAttaKeys {

inline const QString ContactUid = QStringLiteral("contact_uid");         // string
inline const QString ContactName = QStringLiteral("contact_name");       // string
inline const QString FileName = QStringLiteral("file_name");             // string
inline const QString Size = QStringLiteral("size");                      // 64-bit integer
inline const QString Width = QStringLiteral("width");                    // int
inline const QString Height = QStringLiteral("height");                  // int
inline const QString LocLat = QStringLiteral("loc_lat");                 // double
inline const QString LocLng = QStringLiteral("loc_lng");                 // double
inline const QString LocName = QStringLiteral("loc_name");               // string
inline const QString StickerId = QStringLiteral("sticker_id");           // int
inline const QString StickerPackage = QStringLiteral("sticker_package"); // int
inline const QString StickerVersion = QStringLiteral("sticker_version"); // int

} // namespace LineAttaKeys
