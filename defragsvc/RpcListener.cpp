#include "defragsvc/RpcListener.h"

#include "service/DefragRpc_s.h"
#include "service/ServiceIdentity.h"

namespace vantrel::defragsvc {
namespace {

RPC_WSTR Rpc(const wchar_t* text) {
    return reinterpret_cast<RPC_WSTR>(const_cast<wchar_t*>(text));
}

}  // namespace

RpcListener::~RpcListener() {
    Stop();
}

long RpcListener::Start() {
    RPC_STATUS status =
        RpcServerUseProtseqEpW(Rpc(service::kRpcProtocolSequence), RPC_C_PROTSEQ_MAX_REQS_DEFAULT,
                               Rpc(service::kRpcEndpoint), nullptr);
    if (status != RPC_S_OK && status != RPC_S_DUPLICATE_ENDPOINT) {
        return status;
    }
    // Callers on this machine only: the runtime turns away calls that come over
    // the network, before they reach a server routine.
    status =
        RpcServerRegisterIfEx(Serve_DefragRpc_v1_0_s_ifspec, nullptr, nullptr,
                              RPC_IF_ALLOW_LOCAL_ONLY, RPC_C_LISTEN_MAX_CALLS_DEFAULT, nullptr);
    if (status != RPC_S_OK) {
        return status;
    }
    registered_ = true;
    status = RpcServerListen(1, RPC_C_LISTEN_MAX_CALLS_DEFAULT, TRUE);
    if (status != RPC_S_OK && status != RPC_S_ALREADY_LISTENING) {
        return status;
    }
    listening_ = true;
    return RPC_S_OK;
}

void RpcListener::Stop() {
    // Clients keep their pipe connections open between calls, so waiting for
    // every connection to end could wait forever; the engine is detached before
    // it goes, so a late call finds no engine and answers 0.
    if (listening_) {
        RpcMgmtStopServerListening(nullptr);
        listening_ = false;
    }
    if (registered_) {
        RpcServerUnregisterIf(Serve_DefragRpc_v1_0_s_ifspec, nullptr, FALSE);
        registered_ = false;
    }
}

}  // namespace vantrel::defragsvc
