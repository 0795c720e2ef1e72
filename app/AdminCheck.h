// Whether the calling user belongs to the built-in Administrators group, decided by
// an access check against a private security descriptor (so that a filtered token of
// an administrator counts as what it can actually do, not as its group list says).
#pragma once

bool IsUserAdmin();
