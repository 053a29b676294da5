// The engine for the end-to-end tests of the random tasks: the first word is the seed
// of the generator, the rest is the engine's own command line.
#include <cstdint>
#include <cstdlib>

#include "driver/run.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    argv[1] = argv[0];
    return evstat::run(argc - 1, argv + 1, seed);
}
