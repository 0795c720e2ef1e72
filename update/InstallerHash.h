// Whether a downloaded installer may be run, judged by the hash line of the manifest
// that announced it.
#pragma once

#include <optional>
#include <string>

#include "update/Manifest.h"

// The SHA-256 of a file's content; nullopt when it cannot be read.
std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path);

// No hash line: the installer is run as before. A hash line: only an installer whose
// digest is known and equal passes. A malformed hash line never passes.
bool InstallerMayRun(const Manifest& manifest, const std::optional<Sha256Digest>& digest);
