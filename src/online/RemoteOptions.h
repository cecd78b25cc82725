#pragma once

#include "online/VendorEndpoint.h"

#include <QMutex>
#include <optional>

// The remote option the device restore asks the vendor's service for: whether the restore runs in
// "system mode" (a compact restore that leaves the system files alone). Fetched from
// "/itunes_bk_options.php" at the first question and kept for the program's run once the service gave an
// answer; a failed request asks again next time. False without a configured service.
class RemoteOptions
{
public:
    explicit RemoteOptions(const VendorEndpoint& endpoint = VendorEndpoint::configured());

    // Blocks for at most a few seconds on the calling thread.
    bool remoteSystemMode();
    // The service's "system_mode" (0 when it gave none), or nothing while no service is configured or
    // it has not answered yet (a failed request is asked again at the next call).
    std::optional<int> systemMode();

    // The program's own options, asked by the device restore.
    static RemoteOptions& program();

private:
    VendorEndpoint m_endpoint;
    QMutex m_mutex;
    int m_systemMode = -1; // -1: not known yet
};

// RemoteOptions::program().remoteSystemMode(): the answer the device restore takes.
bool remoteSystemMode();
