// Times UpdDownloadFiles fetching one address into a local file, several times, and
// prints one line per run ("update.dll seconds=S bytes=N") and the median. Run by
// download_bench.sh, which serves the file on 127.0.0.1 and times curl beside it.
//   update_bench.exe <address> <local path> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "updatedll/UpdateApi.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: update_bench.exe <address> <local path> [runs]\n");
        return 2;
    }
    const std::wstring wideAddress = argv[1];
    const std::wstring widePath = argv[2];
    const int runs = argc > 3 ? std::max(1, std::min(20, _wtoi(argv[3]))) : 5;
    const std::string address(wideAddress.begin(), wideAddress.end());
    const std::string path(widePath.begin(), widePath.end());

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        DeleteFileW(widePath.c_str());
        UpdClearFiles();
        UpdSetOption("hidden", "1");
        if (!UpdAddFile(address.c_str(), path.c_str())) {
            std::fprintf(stderr, "UpdAddFile refused the address or path\n");
            return 1;
        }
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const int ok = UpdDownloadFiles(nullptr);
        QueryPerformanceCounter(&end);
        if (!ok) {
            std::fprintf(stderr, "UpdDownloadFiles failed\n");
            return 1;
        }
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &data);
        const unsigned long long bytes =
            (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const double elapsed = static_cast<double>(end.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart);
        seconds.push_back(elapsed);
        std::printf("update.dll seconds=%.4f bytes=%llu\n", elapsed, bytes);
    }
    DeleteFileW(widePath.c_str());
    std::sort(seconds.begin(), seconds.end());
    std::printf("update.dll median seconds=%.4f\n", seconds[seconds.size() / 2]);
    return 0;
}
