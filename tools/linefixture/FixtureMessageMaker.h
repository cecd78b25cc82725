#pragma once

#include "FixturePlan.h"
#include "FixtureRandom.h"
#include "LineFixtureOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A file the builder writes below the app folder for one message.
struct FixtureFile
{
    QString relativePath;
    QByteArray bytes;
};

// One ZMESSAGE row with the files that belong to it.
struct FixtureMessage
{
    int chatIndex = 0;         // into FixturePlan::chats
    qint64 senderPk = 0;       // 0: outgoing (ZSENDER NULL)
    qint64 timestamp = 0;      // milliseconds since 1970
    int contentType = 0;       // ZCONTENTTYPE
    std::optional<QString> id; // ZID; nullopt writes NULL
    std::optional<QByteArray> text;
    std::optional<double> latitude;
    std::optional<double> longitude;
    QByteArray metadata;  // ZCONTENTMETADATA; empty writes NULL
    QByteArray thumbnail; // ZTHUMBNAIL; empty writes NULL
    int readCount = 0;
    int sendStatus = 0;
    QList<FixtureFile> files;
    QString special; // catalogue name, or empty

    // Whether a reader lists the row (before disabled chats are removed).
    bool listable() const;
};

// Makes message rows: the catalogue of unusual rows, then as many ordinary ones as asked for, with
// times that mostly rise, sometimes repeat and now and then step back.
class FixtureMessageMaker
{
public:
    FixtureMessageMaker(const FixturePlan& plan, const LineFixtureOptions& options, QString accountPrefix,
                        FixtureRandom& random);

    QList<FixtureMessage> specials();
    FixtureMessage ordinary();

private:
    FixtureMessage base(int chatIndex, qint64 senderPk, int contentType);
    QString nextId();
    qint64 nextTime();
    int pickChat();
    qint64 pickSender(int chatIndex);
    QByteArray sentence();
    void makeText(FixtureMessage& message);
    void makePhoto(FixtureMessage& message, bool file, bool thumbFile, bool blob);
    void makeVideo(FixtureMessage& message, const char* suffix, bool thumbFile);
    void makeVoice(FixtureMessage& message, const char* suffix);
    void makeSticker(FixtureMessage& message, int stickerId, bool withMetadata);
    void makeFile(FixtureMessage& message, const QString& name, const QString& storedName);
    void makeContact(FixtureMessage& message);
    void makeLocation(FixtureMessage& message);
    QString attachment(const FixtureMessage& message, const QString& tail) const;
    QString thumbFile(const FixtureMessage& message) const;

    const FixturePlan& m_plan;
    const LineFixtureOptions& m_options;
    QString m_prefix;
    FixtureRandom& m_random;
    qint64 m_serial = 0;
    qint64 m_time = 0;
    bool m_ordinaryStarted = false;
    QList<QByteArray> m_thumbnails;
    QList<QByteArray> m_photos;
};
