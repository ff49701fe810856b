// Placeholder until the scenario runner lands.
namespace vestrano::sim {}
