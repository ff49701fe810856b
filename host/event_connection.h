// A live connection of one of the add-in's sinks to events that Excel or Office raises.
#pragma once

namespace vestrano::host {

// Destroying it disconnects the sink.
class IEventConnection {
 public:
  virtual ~IEventConnection() = default;
};

}  // namespace vestrano::host
