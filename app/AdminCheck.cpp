#include "app/AdminCheck.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != nullptr) {
            CloseHandle(h);
        }
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct SidFreer {
    void operator()(PSID sid) const { FreeSid(sid); }
};
using UniqueSid = std::unique_ptr<void, SidFreer>;

UniqueHandle OpenCallerToken() {
    HANDLE token = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, &token)) {
        return UniqueHandle(token);
    }
    if (GetLastError() != ERROR_NO_TOKEN) {
        return nullptr;
    }
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &token)) {
        return UniqueHandle(token);
    }
    return nullptr;
}

}  // namespace

bool IsUserAdmin() {
    UniqueHandle token = OpenCallerToken();
    if (!token) {
        return false;
    }
    HANDLE impersonation = nullptr;
    if (!DuplicateToken(token.get(), SecurityImpersonation, &impersonation)) {
        return false;
    }
    UniqueHandle impersonationToken(impersonation);

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID rawSid = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &rawSid)) {
        return false;
    }
    UniqueSid adminSid(rawSid);

    constexpr DWORD kAccessRead = 1;
    constexpr DWORD kAccessWrite = 2;
    const DWORD aclSize =
        sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(adminSid.get()) - sizeof(DWORD);
    std::vector<BYTE> aclBuffer(aclSize);
    auto* acl = reinterpret_cast<PACL>(aclBuffer.data());

    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !InitializeAcl(acl, aclSize, ACL_REVISION2) ||
        !AddAccessAllowedAce(acl, ACL_REVISION2, kAccessRead | kAccessWrite, adminSid.get()) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorGroup(&descriptor, adminSid.get(), FALSE) ||
        !SetSecurityDescriptorOwner(&descriptor, adminSid.get(), FALSE) ||
        !IsValidSecurityDescriptor(&descriptor)) {
        return false;
    }

    GENERIC_MAPPING mapping = {kAccessRead, kAccessWrite, 0, kAccessRead | kAccessWrite};
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof(privileges);
    DWORD granted = 0;
    BOOL status = FALSE;
    if (!AccessCheck(&descriptor, impersonationToken.get(), kAccessRead, &mapping, &privileges,
                     &privilegesSize, &granted, &status)) {
        return false;
    }
    return status != FALSE;
}
