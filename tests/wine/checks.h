// The test's report: one line per check, informational lines, and the closing count.
#pragma once

#include <string>
#include <string_view>

namespace wine_test {

class Checks {
 public:
  // Prints "pass  what" or "FAIL  what (detail)"; returns `ok`.
  bool Check(bool ok, std::string_view what, std::string_view detail = {});
  void Info(std::string_view text);
  // Prints "N passed, M failed"; the process's exit code.
  int Finish();

 private:
  int passed_ = 0;
  int failed_ = 0;
};

// Formats like printf, for the detail texts.
std::string Format(const char* format, ...);
std::string Narrow(std::wstring_view wide);

// Runs the message loop of this thread for `ms` milliseconds, so that posted messages and
// timers are delivered as Excel's loop would.
void PumpMessages(unsigned ms);

// Milliseconds between two QueryPerformanceCounter readings.
class Stopwatch {
 public:
  Stopwatch();
  double ElapsedMs() const;

 private:
  long long start_;
};

bool RunningUnderWine();

}  // namespace wine_test
