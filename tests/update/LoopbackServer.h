// The loopback HTTP server of the update tests (loopback_server.py), started by the
// test itself: Wine starts the Unix python3 directly. It serves a fresh folder below
// the test program's folder, publishes its port in a file there, and ends on
// request, after two minutes without a request, or with the test program's end at
// the latest through Shutdown in the destructor.
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::testsupport {

class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // True once the server published its port.
    bool Running() const { return port_ != 0; }
    unsigned short Port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by `path` (which starts with a slash).
    std::string Url(const std::string& path) const;
    std::wstring WideUrl(const std::wstring& path) const;
    // The served folder (Windows path); a file at Root()\a\b is served as /a/b.
    const std::wstring& Root() const { return root_; }
    // Writes `bytes` to the served file `relative` (backslashes), making folders.
    bool Put(const std::wstring& relative, const std::string& bytes) const;
    bool Remove(const std::wstring& relative) const;
    // Asks the server to end.
    void Shutdown();

  private:
    std::wstring folder_;  // the run's folder: root and port file
    std::wstring root_;
    unsigned short port_ = 0;
};

// A TCP port on 127.0.0.1 that nothing listens on (bound, then released).
unsigned short RefusingPort();

// Sends one plain request to 127.0.0.1:port and answers the status code (0 when the
// connection failed).
int HttpStatusOf(unsigned short port, const std::string& path);

// The whole content of a file, or an empty string when it cannot be read.
std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Names of the files in `folder` (no folders, no "." and "..").
std::wstring ListFiles(const std::wstring& folder);
// Removes a folder with everything below it.
void RemoveTree(const std::wstring& folder);

}  // namespace vantrel::testsupport
