// Critical values of the modified Anderson-Darling and Cramer-von Mises statistics at the
// upper-tail levels 0.25, 0.1, 0.05, 0.025 and 0.01: percentage points after Stephens
// (1974, 1977) and D'Agostino and Stephens (1986, ch. 4), the gamma law's by its shape.
#include <array>
#include <cmath>
#include <cstddef>

#include "fittests/fit_scheme.h"

namespace evstat {

namespace {

constexpr std::size_t kLevelCount = 5;
using LevelRow = std::array<double, kLevelCount>;

// A level is matched to a column only when it equals one of these doubles exactly.
constexpr LevelRow kTableLevels = {0.25, 0.1, 0.05, 0.025, 0.01};

// Anderson-Darling, A^2 modified as in anderson_darling.cpp.
constexpr LevelRow kAndersonDarlingUniform = {1.248, 1.933, 2.492, 3.07, 3.88};
constexpr LevelRow kAndersonDarlingExponential = {0.736, 1.062, 1.321, 1.591, 1.959};
constexpr LevelRow kAndersonDarlingNormal = {0.47, 0.631, 0.752, 0.873, 1.035};
constexpr LevelRow kAndersonDarlingWeibull = {0.474, 0.637, 0.757, 0.877, 1.038};

// Cramer-von Mises, W^2 modified as in cramer_von_mises.cpp.
constexpr LevelRow kCramerVonMisesUniform = {0.209, 0.347, 0.461, 0.581, 0.743};
constexpr LevelRow kCramerVonMisesExponential = {0.116, 0.175, 0.222, 0.271, 0.338};
constexpr LevelRow kCramerVonMisesNormal = {0.074, 0.104, 0.126, 0.148, 0.179};
constexpr LevelRow kCramerVonMisesWeibull = {0.073, 0.102, 0.124, 0.146, 0.175};

// The percentage points of the gamma law with estimated scale depend on its shape, not on
// its scale: the column is chosen from the shape (the first parameter), so that the same
// data in other units (metres or millimetres) get the same decision.
constexpr std::size_t kGammaColumnCount = 12;
constexpr std::array<double, kGammaColumnCount> kGammaShapes = {1.0, 2.0,  3.0,  4.0,  5.0,  6.0,
                                                                8.0, 10.0, 12.0, 15.0, 20.0, 25.0};
// Shapes of 25 or more all take the last column.
constexpr double kLargestGammaShape = 25.0;

constexpr std::array<LevelRow, kGammaColumnCount> kAndersonDarlingGamma = {{
    {0.486, 0.657, 0.786, 0.917, 1.092},
    {0.477, 0.643, 0.768, 0.894, 1.062},
    {0.475, 0.639, 0.762, 0.886, 1.052},
    {0.473, 0.637, 0.759, 0.883, 1.048},
    {0.472, 0.635, 0.758, 0.881, 1.045},
    {0.472, 0.635, 0.757, 0.88, 1.043},
    {0.471, 0.634, 0.755, 0.878, 1.041},
    {0.471, 0.633, 0.754, 0.877, 1.04},
    {0.471, 0.633, 0.754, 0.876, 1.039},
    {0.47, 0.632, 0.754, 0.876, 1.038},
    {0.47, 0.632, 0.753, 0.875, 1.037},
    {0.47, 0.631, 0.752, 0.873, 1.035},
}};

constexpr std::array<LevelRow, kGammaColumnCount> kCramerVonMisesGamma = {{
    {0.079, 0.111, 0.136, 0.162, 0.196},
    {0.076, 0.107, 0.131, 0.155, 0.187},
    {0.075, 0.106, 0.129, 0.153, 0.184},
    {0.075, 0.105, 0.128, 0.152, 0.183},
    {0.075, 0.105, 0.128, 0.151, 0.182},
    {0.075, 0.105, 0.128, 0.151, 0.181},
    {0.074, 0.104, 0.127, 0.15, 0.181},
    {0.074, 0.104, 0.127, 0.15, 0.18},
    {0.074, 0.104, 0.127, 0.15, 0.18},
    {0.074, 0.104, 0.127, 0.149, 0.18},
    {0.074, 0.104, 0.126, 0.148, 0.18},
    {0.074, 0.104, 0.126, 0.148, 0.178},
}};

// The column of a level, or kLevelCount when the level is none of the five.
std::size_t level_column(double level) {
    for (std::size_t j = 0; j < kLevelCount; ++j)
        if (level == kTableLevels[j]) return j;
    return kLevelCount;
}

// The gamma column: the last one from 25 on; below, the nearest of the other shapes, a
// later shape taken only when strictly nearer (a tie goes to the smaller shape).
std::size_t gamma_column(double shape) {
    if (shape >= kLargestGammaShape) return kGammaColumnCount - 1;
    std::size_t best = 0;
    for (std::size_t m = 1; m + 1 < kGammaColumnCount; ++m)
        if (std::fabs(shape - kGammaShapes[m]) < std::fabs(shape - kGammaShapes[best])) best = m;
    return best;
}

// The row of a law, or nullptr for a law without a table.
const LevelRow* law_row(FitStatistic kind, LawCode code, double gammaShape) {
    const bool ad = kind == FitStatistic::AndersonDarling;
    switch (code) {
        case LawCode::kUniform:
            return ad ? &kAndersonDarlingUniform : &kCramerVonMisesUniform;
        case LawCode::kExponential:
        case LawCode::kPareto:
            return ad ? &kAndersonDarlingExponential : &kCramerVonMisesExponential;
        case LawCode::kGamma: {
            const std::size_t m = gamma_column(gammaShape);
            return ad ? &kAndersonDarlingGamma[m] : &kCramerVonMisesGamma[m];
        }
        case LawCode::kNormal:
        case LawCode::kLognormal:
            return ad ? &kAndersonDarlingNormal : &kCramerVonMisesNormal;
        case LawCode::kWeibull:
            return ad ? &kAndersonDarlingWeibull : &kCramerVonMisesWeibull;
        default:
            return nullptr;
    }
}

}  // namespace

double gamma_table_shape(double shape) {
    return kGammaShapes[gamma_column(shape)];
}

double table_critical_value(FitStatistic kind, LawCode code, double gammaShape, double level) {
    const std::size_t j = level_column(level);
    const LevelRow* row = law_row(kind, code, gammaShape);
    if (j == kLevelCount || row == nullptr) return 0.0;
    return (*row)[j];
}

}  // namespace evstat
