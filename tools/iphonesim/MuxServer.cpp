#include "MuxServer.h"

#include "MuxSession.h"
#include "SimLog.h"

namespace iphonesim {

MuxServer::MuxServer(std::string socketPath, DeviceRegistry& registry, HostPairStore& pairStore,
                     ServiceOptions options)
    : m_registry(registry), m_pairStore(pairStore), m_options(std::move(options)),
      m_server(std::move(socketPath), "usbmuxd", [this](SimStream& stream) {
          MuxSession session(stream, m_registry, m_pairStore, m_options);
          session.run();
      })
{
}

MuxServer::~MuxServer()
{
    stop();
}

void MuxServer::start()
{
    m_server.start();
    logInfo("usbmuxd listening on " + m_server.socketPath());
}

void MuxServer::stop()
{
    m_server.stop();
}

} // namespace iphonesim
