// The settings codec alone, natively: LoadSettingsFrom over an in-memory profile.
//   vbbench_codec <iterations>   prints  memory_load_us=<median>
#include <cstdlib>
#include "bench/memory_profile.h"

int main(int argc, char** argv) {
    int iterations = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (iterations < 5) iterations = 5;
    std::printf("memory_load_us=%.3f\n", TimeMemoryLoad(iterations));
    return 0;
}
