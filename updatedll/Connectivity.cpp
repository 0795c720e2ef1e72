#include "updatedll/Connectivity.h"

#include <windows.h>
#include <netlistmgr.h>
#include <wininet.h>

#include <thread>

namespace upd {

namespace {

enum class Answer { Connected, NotConnected, Unknown };

Answer AskNetworkListManager() {
    // On a thread of its own, so that the caller's COM apartment stays as it is.
    Answer answer = Answer::Unknown;
    std::thread asker([&answer] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            return;
        }
        INetworkListManager* manager = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL,
                                       IID_INetworkListManager,
                                       reinterpret_cast<void**>(&manager)))) {
            NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
            if (SUCCEEDED(manager->GetConnectivity(&connectivity))) {
                const int internet =
                    NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV6_INTERNET;
                answer = (connectivity & internet) != 0 ? Answer::Connected : Answer::NotConnected;
            }
            manager->Release();
        }
        CoUninitialize();
    });
    asker.join();
    return answer;
}

}  // namespace

bool SystemSeesInternet() {
    switch (AskNetworkListManager()) {
        case Answer::Connected:
            return true;
        case Answer::NotConnected:
            return false;
        case Answer::Unknown:
            break;
    }
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

}  // namespace upd
