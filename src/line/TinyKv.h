#pragma once

#include <QByteArray>
#include <QVariant>

// The "tinykv" byte layout of a message's atta (the local database's atta BLOB). Little-endian:
//   blob  := "tinykv" entry*                      (entries until the end of the data)
//   entry := u32 key length, UTF-8 key, value
//   value := 'i' i32 | 'l' i64 | 'd' f64 | 's' u32 length, UTF-8 | 'v' u32 length, bytes
//          | '[' u32 length, then that many bytes: u32 count, count values
//          | '{' u32 length, then that many bytes: a complete blob
//          | 'n'                                  (a type the layout has no tag for; reads back as null)
namespace TinyKv {

// Nesting of lists and hashes deeper than this does not decode (the blob decodes as empty).
constexpr int MaxDepth = 32;

// Booleans, ints, unsigned ints and characters are written as 'i'; 64-bit integers as 'l'; doubles (and
// floats) as 'd'; strings 's'; byte arrays 'v'; hashes and maps '{'; lists and string lists '['; anything
// else, unsigned 64-bit integers included, as 'n'. Keys are written in sorted order so that equal hashes
// give equal bytes.
QByteArray encode(const QVariantHash& hash);

// The hash of a blob. A wrong magic, a value that cannot be read in full, an unknown tag or nesting past
// MaxDepth gives an empty hash (and ok = false); a key cut off by the end of the data ends the blob
// normally. Never allocates more than the input can fill.
QVariantHash decode(const QByteArray& blob, bool* ok = nullptr);

} // namespace TinyKv
