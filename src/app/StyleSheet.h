#pragma once

#include <QString>

// The application style sheet from the resource ":style.css", read once and cached. Empty when the
// resource is missing (the next call tries again).
QString appStyleSheet();
