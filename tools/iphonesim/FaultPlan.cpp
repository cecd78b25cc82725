#include "FaultPlan.h"

#include <cstdlib>

namespace iphonesim {

namespace {

bool isNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 19 && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

const char* faultName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Refuse:
        return "refuse";
    case FaultKind::Locked:
        return "locked";
    case FaultKind::NoSpace:
        return "nospace";
    case FaultKind::Error205:
        return "error205";
    case FaultKind::Purge:
        return "purge";
    case FaultKind::Drop:
        return "drop";
    case FaultKind::Custom:
        return "error";
    case FaultKind::UnsafePaths:
        return "unsafepaths";
    }
    return "?";
}

std::optional<Fault> parseFault(const std::vector<std::string>& words, std::string* error)
{
    if (words.empty()) {
        *error = "missing fault name";
        return std::nullopt;
    }
    Fault fault;
    const std::string& name = words[0];
    if (name == "drop") {
        if (words.size() != 2 || !isNumber(words[1])) {
            *error = "usage: drop <bytes of file data>";
            return std::nullopt;
        }
        fault.kind = FaultKind::Drop;
        fault.dropAfterBytes = std::strtoull(words[1].c_str(), nullptr, 10);
        return fault;
    }
    if (name == "error") {
        if (words.size() < 3 || !isNumber(words[1])) {
            *error = "usage: error <code> <description>";
            return std::nullopt;
        }
        fault.kind = FaultKind::Custom;
        fault.code = std::strtoull(words[1].c_str(), nullptr, 10);
        for (size_t i = 2; i < words.size(); ++i)
            fault.description += (i > 2 ? " " : "") + words[i];
        return fault;
    }
    if (name == faultName(FaultKind::UnsafePaths)) {
        if (words.size() > 2 || (words.size() == 2 && words[1].rfind('/', 0) != 0)) {
            *error = "usage: unsafepaths [<absolute folder>]";
            return std::nullopt;
        }
        fault.kind = FaultKind::UnsafePaths;
        if (words.size() == 2)
            fault.description = words[1];
        return fault;
    }
    for (FaultKind kind :
         {FaultKind::Refuse, FaultKind::Locked, FaultKind::NoSpace, FaultKind::Error205, FaultKind::Purge}) {
        if (name == faultName(kind)) {
            if (words.size() != 1) {
                *error = name + " takes no arguments";
                return std::nullopt;
            }
            fault.kind = kind;
            return fault;
        }
    }
    *error = "unknown fault " + name;
    return std::nullopt;
}

void FaultPlan::arm(const Fault& fault)
{
    std::lock_guard lock(m_mutex);
    for (Fault& existing : m_faults) {
        if (existing.kind == fault.kind) {
            existing = fault;
            return;
        }
    }
    m_faults.push_back(fault);
}

void FaultPlan::clear()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

std::optional<Fault> FaultPlan::find(FaultKind kind) const
{
    std::lock_guard lock(m_mutex);
    for (const Fault& fault : m_faults) {
        if (fault.kind == kind)
            return fault;
    }
    return std::nullopt;
}

std::vector<Fault> FaultPlan::all() const
{
    std::lock_guard lock(m_mutex);
    return m_faults;
}

} // namespace iphonesim
