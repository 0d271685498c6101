#include "engine/output/temp_name.h"

#include <cstdio>
#include <random>

namespace lunaro::engine {

std::string HiddenTempName() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    char name[40];
    std::snprintf(name, sizeof name, ".extracting-%016llx",
                  static_cast<unsigned long long>(generator()));
    return name;
}

}  // namespace lunaro::engine
