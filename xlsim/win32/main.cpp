// xlsim: a simulated Excel for Windows and Wine that loads the real add-ins registered for Excel
// and plays a scenario script against them, printing the scenario's observation lines on standard
// output in UTF-8. Exit status 0 when every expectation held, 1 when one did not (or the add-in
// reported a failure it caught), 2 when the script itself is wrong.
//
//   xlsim.exe [--screenshot FILE.bmp] SCRIPT     (SCRIPT "-" reads standard input)
#include "host/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "xlsim/win32/debug_monitor.h"
#include "xlsim/win32/scenario_player.h"
#include "xlsim/win32/screenshot.h"
#include "xlsim/win32/user_input.h"

namespace {

using vestrano::xlsim::win32::kRunExpectationFailed;
using vestrano::xlsim::win32::kRunScriptError;

int Usage() {
  std::cerr << "usage: xlsim.exe [--screenshot FILE.bmp] SCRIPT   (- reads standard input)\n";
  return kRunScriptError;
}

int Play(std::istream& script, const std::string& screenshot) {
  vestrano::xlsim::win32::DebugMonitor monitor;
  vestrano::xlsim::win32::ScenarioPlayer player(std::cout, std::cerr,
                                                [&monitor] { return monitor.Take(); });
  const int status = player.Run(script);
  if (!screenshot.empty()) {
    // The last state, painted, with whatever popup is open over it.
    vestrano::xlsim::win32::PaintNow();
    if (!vestrano::xlsim::win32::SaveScreenshot(player.GetExcel().Windows().Main(), screenshot)) {
      std::cerr << "xlsim: could not write the screenshot " << screenshot << '\n';
      return status == 0 ? kRunExpectationFailed : status;
    }
  }
  return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::string screenshot;
  std::wstring script_path;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    if (arg == L"--screenshot" && i + 1 < argc) {
      const std::wstring path = argv[++i];
      screenshot.assign(path.begin(), path.end());
    } else if (script_path.empty()) {
      script_path = arg;
    } else {
      return Usage();
    }
  }
  if (script_path.empty()) return Usage();
  if (FAILED(OleInitialize(nullptr))) {
    std::cerr << "xlsim: COM would not start\n";
    return kRunScriptError;
  }
  int status = kRunScriptError;
  try {
    if (script_path == L"-") {
      status = Play(std::cin, screenshot);
    } else {
      std::ifstream script(script_path.c_str());
      if (!script) {
        std::wcerr << L"cannot read " << script_path << L'\n';
      } else {
        status = Play(script, screenshot);
      }
    }
  } catch (const std::exception& error) {
    std::cerr << "xlsim: " << error.what() << '\n';
    status = kRunScriptError;
  }
  std::cout.flush();
  OleUninitialize();
  return status;
}
