#include "service/ServiceBinding.h"

#include "service/DefragRpc_c.h"
#include "service/ServiceIdentity.h"

namespace vantrel::service {
namespace {

RPC_WSTR Rpc(const wchar_t* text) {
    return reinterpret_cast<RPC_WSTR>(const_cast<wchar_t*>(text));
}

}  // namespace

ServiceBinding::~ServiceBinding() {
    Unbind();
}

bool ServiceBinding::Bind() {
    Unbind();
    RPC_WSTR composed = nullptr;
    if (RpcStringBindingComposeW(nullptr, Rpc(kRpcProtocolSequence), nullptr, Rpc(kRpcEndpoint),
                                 nullptr, &composed) != RPC_S_OK) {
        return false;
    }
    bindingString_ = reinterpret_cast<wchar_t*>(composed);
    return RpcBindingFromStringBindingW(composed, &DefragRpc_Binding) == RPC_S_OK;
}

void ServiceBinding::Unbind() {
    if (bindingString_ == nullptr) {
        return;
    }
    RPC_WSTR composed = reinterpret_cast<RPC_WSTR>(bindingString_);
    const RPC_STATUS freed = RpcStringFreeW(&composed);
    bindingString_ = nullptr;
    if (freed == RPC_S_OK && DefragRpc_Binding != nullptr) {
        RpcBindingFree(&DefragRpc_Binding);
        DefragRpc_Binding = nullptr;
    }
}

bool ServiceBinding::IsBound() const {
    return DefragRpc_Binding != nullptr;
}

}  // namespace vantrel::service
