#pragma once

#include "line/LineAccount.h"

#include <QString>

// LINE's preferences inside a mirrored app folder.
namespace LinePreferences {

inline const QString RelativePath = QStringLiteral("Library/Preferences/jp.naver.line.plist");

// The owner's account ("mid", "name", "tel"); a missing or unreadable file or key gives empty strings.
LineAccount readAccount(const QString& appRoot);

} // namespace LinePreferences
