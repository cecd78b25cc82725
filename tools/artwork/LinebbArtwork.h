#pragma once

#include <QString>

// Writes the chat-bubble images of the "linebb" folder: the nine frame pieces of received bubbles
// (bb1_01..09.png, tail at the top left), sent bubbles (bb2_01..09.png, tail at the top right) and day
// separators (r_01..09.png, a pill), plus empty_photo.jpg and voice.png. The piece sizes are the ones
// resources/linebb/style.css lays out: 14 px corners, and a further 8 px for the tail column.
bool drawLinebbArtwork(const QString& linebbDir);
