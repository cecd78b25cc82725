#pragma once

#include <QString>

// The folder that holds the program's loose asset folders ("linebb": the chat-bubble style sheet and
// images). The build copies them beside each executable; an installed program finds them in
// <prefix>/share/ferrowyn beside its <prefix>/bin. The environment variable FERROWYN_ASSET_DIR, when set,
// names another folder instead: for running a program or a test from a place that has neither.
QString assetDir();

// assetDir()/linebb.
QString linebbDir();
