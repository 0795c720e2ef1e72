#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/update/LoopbackServer.h"

#include <cstdio>
#include <vector>

#ifndef VANTREL_SERVER_SCRIPT
#error "The build names the server script (a Unix path)"
#endif

namespace vantrel::testsupport {

namespace {

constexpr int kPortWaitMs = 30000;
constexpr int kPollMs = 20;

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The Unix path of a Windows path, through Wine's own export.
std::string UnixPathOf(const std::wstring& path) {
    using Converter = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return std::string();
    }
    char* unix = convert(path.c_str());
    if (unix == nullptr) {
        return std::string();
    }
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

}  // namespace

LoopbackServer::LoopbackServer() {
    folder_ = ModuleFolder() + L"\\server-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount());
    root_ = folder_ + L"\\www";
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW(root_.c_str(), nullptr);
    const std::wstring portFile = folder_ + L"\\port";
    const std::string unixRoot = UnixPathOf(root_);
    const std::string unixPortFile = UnixPathOf(portFile);
    if (unixRoot.empty() || unixPortFile.empty()) {
        return;
    }
    std::wstring command = L"Z:\\usr\\bin\\python3 " + Widen(VANTREL_SERVER_SCRIPT) + L" --root " +
                           Widen(unixRoot) + L" --port-file " + Widen(unixPortFile);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;
    }
    // A Unix process has no handle to wait on: the published port is the signal.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < kPortWaitMs; waited += kPollMs) {
        const std::string text = ReadWholeFile(portFile);
        const int port = text.empty() ? 0 : atoi(text.c_str());
        if (port > 0 && port < 65536) {
            port_ = static_cast<unsigned short>(port);
            return;
        }
        Sleep(kPollMs);
    }
}

LoopbackServer::~LoopbackServer() {
    Shutdown();
    RemoveTree(folder_);
}

void LoopbackServer::Shutdown() {
    if (port_ == 0) {
        return;
    }
    HttpStatusOf(port_, "/__shutdown");
    // The server removes its port file on the way out.
    const std::wstring portFile = folder_ + L"\\port";
    for (int waited = 0; waited < 5000 && FileExists(portFile); waited += kPollMs) {
        Sleep(kPollMs);
    }
    port_ = 0;
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::wstring LoopbackServer::WideUrl(const std::wstring& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

bool LoopbackServer::Put(const std::wstring& relative, const std::string& bytes) const {
    std::wstring path = root_;
    std::size_t start = 0;
    for (std::size_t slash = relative.find(L'\\'); slash != std::wstring::npos;
         slash = relative.find(L'\\', start)) {
        CreateDirectoryW((root_ + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
        start = slash + 1;
    }
    path += L"\\" + relative;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool LoopbackServer::Remove(const std::wstring& relative) const {
    return DeleteFileW((root_ + L"\\" + relative).c_str()) != FALSE;
}

unsigned short RefusingPort() {
    WinsockUser winsock;
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    unsigned short port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    closesocket(probe);
    return port;
}

int HttpStatusOf(unsigned short port, const std::string& path) {
    WinsockUser winsock;
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    DWORD timeout = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    int status = 0;
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        const std::string request =
            "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        send(client, request.data(), static_cast<int>(request.size()), 0);
        char answer[64] = {};
        if (recv(client, answer, sizeof(answer) - 1, 0) > 12) {
            status = atoi(answer + 9);  // "HTTP/1.1 200 ..."
        }
    }
    closesocket(client);
    return status;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ListFiles(const std::wstring& folder) {
    std::wstring names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names += names.empty() ? L"" : L" ";
            names += found.cFileName;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace vantrel::testsupport
