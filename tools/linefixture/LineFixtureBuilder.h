#pragma once

#include "LineFixture.h"
#include "LineFixtureOptions.h"

#include <QString>

// Builds a mirrored LINE app folder as the program finds it in a backup or on a device: the preferences
// with the owner's account, Line.sqlite in LINE's Core Data schema, UnifiedGroup.sqlite or the older
// ZGROUP table, attachments, "Message Thumbnails" and thumbnail blobs, stickers, every content type and
// the unusual rows a real history holds. Deterministic for a seed; a million messages take seconds.
class LineFixtureBuilder
{
public:
    // Builds into appRoot (created when missing; files already there are replaced). Throws
    // std::runtime_error when something cannot be written.
    static LineFixture build(const QString& appRoot, const LineFixtureOptions& options);
};
