#pragma once

#include <QString>

// The user-interface language. Every text, English included, comes from a compiled translation file
// (":/en.qm", ":/ja_JP.qm", ":/zh_TW.qm"); the choice is made once at start-up and kept in the file
// "locale" of the application data folder.

// The translation resource for a locale name, ignoring case: Traditional Chinese for zh_HK, zh_TW, zh_MO
// and zh_SG, Japanese for any name starting with "ja_", English for everything else.
QString translationFileFor(const QString& localeName);

// The locale name to use when none is asked for: the saved choice in savedChoiceFile when that file can
// be read and holds a name, else systemLocaleName.
QString savedOrSystemLocaleName(const QString& savedChoiceFile, const QString& systemLocaleName);

// appDataDir()/"locale".
QString savedLanguageFilePath();

// Removes the installed translator (if any) and installs the one for localeName; an empty name means the
// saved choice, else the system locale. Returns the resource that was loaded, or an empty string when it
// could not be loaded (the untranslated source texts stay in use). Needs the application object.
QString setAppLanguage(const QString& localeName);

// Remembers localeName ("en_US", "ja_JP" or "zh_TW") for the next start. Written through a temporary file
// so a failed write leaves the previous choice intact; returns false when it could not be written.
bool saveLanguage(const QString& localeName);
