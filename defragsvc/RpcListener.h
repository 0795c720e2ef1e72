// Listens on the defrag service endpoint and serves the interface to local
// callers until Stop().
#pragma once

#include <windows.h>

namespace vantrel::defragsvc {

class RpcListener {
  public:
    RpcListener() = default;
    ~RpcListener();
    RpcListener(const RpcListener&) = delete;
    RpcListener& operator=(const RpcListener&) = delete;

    // Registers the endpoint and the interface and starts listening without
    // blocking. Answers the RPC status (RPC_S_OK on success).
    long Start();
    // Stops listening; does not wait for open client connections to close.
    void Stop();

  private:
    bool listening_ = false;
    bool registered_ = false;
};

}  // namespace vantrel::defragsvc
