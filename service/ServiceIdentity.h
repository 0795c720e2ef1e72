// Names both ends of the service link agree on: the client binds to them and the
// stand-in defrag service registers and listens under them.
#pragma once

namespace vantrel::service {

// The name the defrag service is registered under with the service control manager.
inline constexpr wchar_t kDefragServiceName[] = L"Vantrel";

inline constexpr wchar_t kRpcProtocolSequence[] = L"ncacn_np";
inline constexpr wchar_t kRpcEndpoint[] = L"\\pipe\\defrag_rpcechoht";

}  // namespace vantrel::service
