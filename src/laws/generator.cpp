#include "laws/generator.h"

namespace evstat {

void set_seed(std::uint32_t seed) { generator_detail::state = seed; }

}  // namespace evstat
