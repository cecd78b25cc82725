#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace iphonesim {

// Failures a simulated device can be told to produce, from the control channel. A fault stays armed until
// it is cleared.
enum class FaultKind
{
    Refuse,   // backup/restore request answered with MBErrorDomain/212 (setup not finished)
    Locked,   // request answered with MBErrorDomain/208 (device locked)
    NoSpace,  // MBErrorDomain/105: not enough space on the computer (backup) or on the device (restore)
    Error205, // MBErrorDomain/205: backup properties unreadable (backup), download errors (restore)
    Purge,    // the device asks the computer to purge disk space before sending files
    Drop,     // the connection is cut after a number of bytes of file data
    Custom,   // request answered with a chosen error code and description
    // During a backup the device names paths outside the backup folder (absolute, with "..", through a
    // link "<udid>/link") in every kind of request, counts what the host accepted and fails the backup.
    UnsafePaths,
};

struct Fault
{
    FaultKind kind = FaultKind::Refuse;
    uint64_t dropAfterBytes = 0; // Drop
    uint64_t code = 0;           // Custom
    std::string description;     // Custom; UnsafePaths: the absolute folder it names (may be empty)
};

const char* faultName(FaultKind kind);
// Parses "refuse", "locked", "nospace", "error205", "purge", "drop <bytes>", "error <code> <text>",
// "unsafepaths [<absolute folder>]".
std::optional<Fault> parseFault(const std::vector<std::string>& words, std::string* error);

class FaultPlan
{
public:
    void arm(const Fault& fault);
    void clear();
    std::optional<Fault> find(FaultKind kind) const;
    std::vector<Fault> all() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Fault> m_faults;
};

} // namespace iphonesim
