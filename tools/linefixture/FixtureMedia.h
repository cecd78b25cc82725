#pragma once

#include <QByteArray>

// Media bytes for fixtures: real, small images (the reader decodes and scales them) and container
// headers for audio and video (nothing plays them).
namespace FixtureMedia {

QByteArray jpeg(int width, int height, quint64 colour);
QByteArray png(int width, int height, quint64 colour);
// An MPEG-4 file header ("ftyp" box) followed by filler up to size bytes.
QByteArray mpeg4(const char* brand, int size, quint64 seed);

} // namespace FixtureMedia
