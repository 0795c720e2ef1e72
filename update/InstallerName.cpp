#include "update/InstallerName.h"

std::wstring InstallerFileName(const SYSTEMTIME& localDate) {
    return L"vantrel_Setup_" + std::to_wstring(localDate.wMonth) + L"_" +
           std::to_wstring(localDate.wDay) + L"_" + std::to_wstring(localDate.wYear) + L".exe";
}
