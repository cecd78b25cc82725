#pragma once

#include <QString>

// Raises the error type of the search: a std::runtime_error whose message is the UTF-8 text, meant for
// the user.
[[noreturn]] void throwSearchError(const QString& text);
