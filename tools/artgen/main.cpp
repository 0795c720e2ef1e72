// artgen <output folder>: draws every bitmap, the icon and the cursor of the
// program into the folder. Runs at build time (under Wine on the build host)
// and needs no display: everything is drawn into memory DCs.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tools/artgen/Catalogue.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: artgen <output folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fwprintf(stderr, L"artgen: cannot create %ls\n", folder.c_str());
        return 1;
    }
    try {
        for (const artgen::Artwork& art : artgen::Catalogue()) {
            const std::wstring path = folder + L"\\" + art.fileName;
            if (!artgen::WriteWholeFile(path, art.encode())) {
                std::fwprintf(stderr, L"artgen: cannot write %ls\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "artgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
