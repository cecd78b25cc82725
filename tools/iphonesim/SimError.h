#pragma once

#include <stdexcept>
#include <string>

namespace iphonesim {

// A conversation or a device folder went wrong; the connection that hit it is dropped and the text is logged.
class SimError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The peer closed the connection, it was cut on purpose, or the simulator is stopping.
class ConnectionClosed : public SimError
{
public:
    using SimError::SimError;
};

} // namespace iphonesim
