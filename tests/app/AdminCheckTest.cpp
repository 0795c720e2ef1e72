#include "app/AdminCheck.h"
#include "app/StartupOptions.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The access check must agree with the token's own view of the Administrators group.
TEST(AdminCheck, AgreesWithTokenMembership) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    BOOL member = FALSE;
    ASSERT_TRUE(CheckTokenMembership(nullptr, admins, &member));
    FreeSid(admins);
    EXPECT_EQ(member != FALSE, IsUserAdmin());
}

// The program opens the service manager and the service with full access, which
// Windows refuses a filtered token (an administrator's under UAC: the Administrators
// group for deny only) and a standard user's (no such group, which reads the same).
// Windows 7 reports 6.1, 8 reports 6.2, and 8.1, 10 and 11 report 6.2 too because the
// manifest declares no later system (the resource tests hold it to that), so the rule
// asks for rights on each of them exactly when the token lacks them.
TEST(AdminCheck, WindowsSevenToElevenAskAFilteredTokenForRightsAndNotAnElevatedOne) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    HANDLE process = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process));
    SID_AND_ATTRIBUTES denyOnly{admins, 0};
    HANDLE restricted = nullptr;
    ASSERT_TRUE(
        CreateRestrictedToken(process, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted));
    HANDLE filtered = nullptr;
    ASSERT_TRUE(DuplicateToken(restricted, SecurityImpersonation, &filtered));
    FreeSid(admins);

    const bool elevatedIsAdmin = IsUserAdmin();
    ASSERT_TRUE(elevatedIsAdmin) << "Wine runs the tests as an administrator";
    ASSERT_TRUE(SetThreadToken(nullptr, filtered));
    const bool filteredIsAdmin = IsUserAdmin();
    RevertToSelf();
    EXPECT_FALSE(filteredIsAdmin);

    const struct {
        const char* system;
        unsigned reportedMajor;
    } systems[] = {{"Windows 7", 6}, {"Windows 8", 6}, {"Windows 10 and 11", 6}};
    for (const auto& system : systems) {
        SCOPED_TRACE(system.system);
        EXPECT_FALSE(ShouldRequestElevation(system.reportedMajor, false, elevatedIsAdmin, false));
        EXPECT_TRUE(ShouldRequestElevation(system.reportedMajor, false, filteredIsAdmin, false));
        EXPECT_FALSE(ShouldRequestElevation(system.reportedMajor, true, filteredIsAdmin, false))
            << "never at logon";
    }
    CloseHandle(filtered);
    CloseHandle(restricted);
    CloseHandle(process);
}

}  // namespace
