// The Windows version as the program's rules see it (the manifest declares Vista to
// 8, so Windows 6.x reports 6 and later systems report what they are compatible with).
#pragma once

unsigned OsMajorVersion();
