// vestrano-sim: plays a scenario script against the add-in's logic and the in-memory host.
int main() { return 0; }
