// The pictures of the report pages. The program carries them as JPEG resources of
// type 2110; the pages name them by bare file name, so they must lie beside the
// report files for a page to open with its pictures.
#pragma once

#include <windows.h>

#include <span>
#include <string>

struct ReportImage {
    const wchar_t* resourceName;  // in the resources, type 2110
    const wchar_t* fileName;      // as the pages refer to it
};

// The eight images the pages show (the resources hold two more that they do not use).
std::span<const ReportImage> PageImages();

// Writes each page image that is missing from `folder`, or differs from its resource
// in `module`, through a temporary file. True when every image is in place
// afterwards; an image whose resource is missing counts as not placed.
bool PlaceReportImages(const std::wstring& folder, HMODULE module);
