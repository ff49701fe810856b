// vestrano-sim: plays a scenario script against the add-in's logic and the in-memory host.
#include <fstream>
#include <iostream>
#include <string_view>

#include "sim/scenario_runner.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vestrano-sim SCRIPT   (- reads standard input)\n";
    return vestrano::sim::kRunScriptError;
  }
  try {
    vestrano::sim::ScenarioRunner runner(std::cout, std::cerr);
    const std::string_view path = argv[1];
    if (path == "-") return runner.Run(std::cin);
    std::ifstream script{std::string(path)};
    if (!script) {
      std::cerr << "cannot read " << path << '\n';
      return vestrano::sim::kRunScriptError;
    }
    return runner.Run(script);
  } catch (const std::exception& error) {
    std::cerr << "vestrano-sim: " << error.what() << '\n';
    return vestrano::sim::kRunScriptError;
  }
}
