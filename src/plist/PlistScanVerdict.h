#pragma once

// Outcome of the checks run on outside bytes before libplist parses them.
enum class PlistScanVerdict
{
    Accept,    // libplist may parse the bytes
    Malformed, // libplist would reject the bytes anyway
    TooDeep,   // nesting beyond PlistLimits::MaxDepth
    TooLarge,  // more bytes, nodes or expanded payload than PlistLimits allows
};

// English text for the log.
const char* plistScanVerdictText(PlistScanVerdict verdict);
