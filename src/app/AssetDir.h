#pragma once

#include <QString>

// The folder that holds the program's loose asset folders ("linebb": the chat-bubble style sheet and
// images). The build copies them beside each executable, so this is normally the executable's folder.
// The environment variable FERROWYN_ASSET_DIR, when set, names another folder instead: for running a
// program or a test from a place that has no copy beside it.
QString assetDir();

// assetDir()/linebb.
QString linebbDir();
