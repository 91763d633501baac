#pragma once
// Temporary file names.

#include <string>
#include <string_view>

namespace qmp {

// $TMPDIR (else /tmp), ending with "/", as system ANSI text.
std::string TempDir();

// A fresh, unused name in TempDir() starting with `prefix` (the file is
// created to reserve the name, then removed at once); empty on failure.
// Callers append their own extension.
std::string TempFileName(std::string_view prefix = "tor");

}  // namespace qmp
