#include "app/AdminCheck.h"

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

}  // namespace
