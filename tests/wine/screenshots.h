// The pictures of the README: the real DLL and its tab strip connected to the test's Excel in
// each appearance, above and below the workbooks, and with more tabs than fit. Run by
// scripts/screenshots.sh, which takes each picture when told where to look.
#pragma once

#include <string>

namespace wine_test {

// For each scene prints "shot NAME LEFT TOP WIDTH HEIGHT" (screen pixels) and waits for a line
// on standard input before going on to the next; ends with "done".
int RunScreenshots(const std::wstring& dll_path);

}  // namespace wine_test
