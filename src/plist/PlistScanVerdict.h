#pragma once

// Outcome of the checks run on outside bytes before libplist parses them.
enum class PlistScanVerdict
{
    Accept,    // libplist may parse the bytes
    Malformed, // libplist would reject the bytes anyway
    TooDeep,   // nesting beyond PlistLimits::MaxDepth
    TooLarge,  // more bytes, nodes or expanded payload than PlistLimits allows
    // A NUL character inside a string: libplist 2.2 keeps such a string with a length beyond its first NUL,
    // and its copy and its writers then read past the end of the copied text.
    NulInString,
};

// English text for the log.
const char* plistScanVerdictText(PlistScanVerdict verdict);
