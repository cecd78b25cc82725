#pragma once

#include <QString>

// Addresses of the vendor's help pages that messages point to; empty when no vendor host is configured
// (then the messages give their advice without a link).
namespace HelpLinks {

QString findMyIPhone();     // how to switch off "Find My iPhone"
QString resetLockdown();    // how to delete the computer's lockdown folder
QString transferTutorial(); // moving messages to and from an iPhone with iTunes

} // namespace HelpLinks
