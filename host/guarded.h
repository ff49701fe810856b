// Runs the body of an entry point that Excel or Windows calls (an event handler, a timer or hook
// procedure) and swallows whatever it throws: nothing may unwind into the caller, and the
// add-in's policy for a failed step is to go on without it.
#pragma once

namespace vestrano {

template <typename Body>
void Guarded(Body body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace vestrano
