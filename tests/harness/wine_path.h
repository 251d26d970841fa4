// The Windows path that Wine gives a Unix path, for tests that know a file by its Unix path.
#pragma once
#include <string>

// The tests reach the clone through a drive of its own (R:, made by tools/wine-path.sh), so the
// path cannot be formed by putting Z: before the Unix one: Wine is asked. Returns the path as it
// was where Wine cannot tell (not running under Wine, or an empty or relative path).
std::string WindowsPathOf(const std::string& unixPath);
