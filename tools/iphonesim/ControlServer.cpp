#include "ControlServer.h"

#include "ControlChannel.h"
#include "SimError.h"
#include "SimStream.h"

namespace iphonesim {

namespace {

constexpr size_t kMaxLine = 64 * 1024;

} // namespace

ControlServer::ControlServer(std::string socketPath, Simulator& simulator)
    : m_simulator(simulator), m_server(std::move(socketPath), "control", [this](SimStream& stream) {
          std::string line;
          for (;;) {
              char c = 0;
              stream.readExact(&c, 1);
              if (c != '\n') {
                  if (line.size() >= kMaxLine)
                      throw SimError("control line too long");
                  line += c;
                  continue;
              }
              stream.writeAll(runControlCommand(m_simulator, line) + "\n");
              line.clear();
          }
      })
{
}

ControlServer::~ControlServer()
{
    stop();
}

void ControlServer::start()
{
    m_server.start();
}

void ControlServer::stop()
{
    m_server.stop();
}

} // namespace iphonesim
