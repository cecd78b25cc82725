#pragma once

#include "line/AbsLineMsgsSource.h"
#include "line/LineStickerFiles.h"

#include <QString>
#include <memory>

class AbsLineDb;
class CliContext;
class QCommandLineParser;
class _LineData;
struct _LineChat;

// The message store a job command reads: "--line APP_ROOT" (LINE's store in a mirrored app folder, read
// from a copy in the program's cache so the folder itself never changes) or "--localdb DIR" (a local
// message database that must exist), narrowed to one chat by "--chat UID".
class CliMessageSource
{
public:
    static void addOptions(QCommandLineParser& parser);

    // Opens what the parsed options name and loads its contacts. On failure the reason is printed and
    // false returned with exitCode set (CliUsage for missing or conflicting options, else CliFailed).
    bool open(CliContext& context, const QCommandLineParser& parser, int& exitCode);
    // The same for an app folder the program loaded itself (from a backup or a device) instead of the
    // --line or --localdb options.
    bool openAppRoot(CliContext& context, const QCommandLineParser& parser, const QString& root,
                     int& exitCode);

    const PAbsLineMsgsSource& source() const { return m_source; }
    // The data set read, with its contacts, and the chat --chat named (null without one).
    const std::shared_ptr<_LineData>& data() const { return m_data; }
    _LineChat* chat() const { return m_chat; }
    // The folder of the local database read, empty for an app folder.
    const QString& localDbFolder() const { return m_localDbFolder; }
    // The sticker images of an app folder's store; none for a local database.
    const LineStickerFiles& stickerFiles() const { return m_stickerFiles; }

private:
    bool openDb(CliContext& context, const QCommandLineParser& parser, const QString& root, int& exitCode);

    std::shared_ptr<AbsLineDb> m_db;
    std::shared_ptr<_LineData> m_data;
    PAbsLineMsgsSource m_source;
    QString m_localDbFolder;
    _LineChat* m_chat = nullptr;
    LineStickerFiles m_stickerFiles;
};
