#include "plist/PlistScanVerdict.h"

const char* plistScanVerdictText(PlistScanVerdict verdict)
{
    switch (verdict) {
    case PlistScanVerdict::Accept:
        return "accepted";
    case PlistScanVerdict::Malformed:
        return "malformed property list";
    case PlistScanVerdict::TooDeep:
        return "property list nested too deeply";
    case PlistScanVerdict::TooLarge:
        return "property list too large";
    case PlistScanVerdict::NulInString:
        return "NUL character inside a property-list string";
    }
    return "unknown";
}
