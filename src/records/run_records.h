// The records a loader fills and a task reads: one per layout of the ParameterFile, each
// a common frame (lines 1 to 4) and what its LoadType adds. Every name of the file is
// turned into its code by the loader; a task receives its record read-only.
#pragma once

#include <string>
#include <vector>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "tail/bayes/priors.h"
#include "tail/methods/tail.h"

namespace evstat {

// Room in the law-name and method-name lists of LoadTypes 2 and 5.
constexpr int kNameTableSize = 11;
// A bound of the Beta prior's interval that the ParameterFile leaves out ("*").
constexpr double kPriorBoundAbsent = -999.0;
static_assert(kShapeBoundAbsent == kPriorBoundAbsent);

// Lines 1 to 4, shared by every layout.
struct CommonFrame {
    std::string directory;       // ends with the path separator; file names are appended to it
    bool directoryRead = false;  // line 1 has been read (the error file can be named)
    std::string dataFile;        // "*" or "Tous" when the task reads no named file
    int taskNumber = 0;
    std::string resultFile;
};

// A law as the ParameterFile names it (the curve ParameterFiles repeat the name) and its code.
struct NamedLaw {
    std::string name;
    LawCode code = LawCode::kUnknown;
};

// Tasks 1 to 8 and 26: one law. Lines 9 to 11 describe samples for tasks 1 and 5 and an
// evaluation range for the others; the fields of the other reading keep their defaults.
struct LoadType1Parameters {
    CommonFrame frame;
    NamedLaw law;  // "*" passes with LawCode::kUnknown
    ValueList lawParameters;
    // tasks 1 and 5
    double sampleSize = 0.0;
    double sampleCount = 0.0;
    int classCount = 0;
    // the other tasks
    double lower = 0.0;
    double upper = 0.0;
    int pointCount = 0;
};

// Tasks 9 to 24 and 36 to 46: the candidate laws (an unknown name keeps LawCode::kUnknown; the
// task refuses it when it reaches it), the tests and the excesses.
struct LoadType2Parameters {
    CommonFrame frame;
    std::vector<NamedLaw> laws;  // at least one, at most kNameTableSize
    int excessCount = 0;
    double testLevel = 0.0;  // 0: no test
    int excessLow = 0;
    int excessHigh = 0;
    int etVersion = 0;
    int bootstrapCount = 0;
    double quantileOrder = 0.0;
    TailMethod method = kUnknownTailMethod;  // tasks 38 to 46
};

// The central test of the expert-opinion study.
enum class CentralTest { kAndersonDarling, kCramerVonMises };

// Task 25: a series studied with an expert's opinion. A "*" leaves expertMaxQuantile,
// riskP1 and riskP2 at 0.
struct LoadType3Parameters {
    CommonFrame frame;
    NamedLaw law;               // "WeibullForme" and "WeibullEchelle" name the Weibull law
    bool weibullShape = false;  // the prior is on the Weibull shape ("WeibullForme")
    double priorLow = kPriorBoundAbsent;
    double priorHigh = kPriorBoundAbsent;
    bool simulated = false;  // the series was simulated from simulationLaw
    NamedLaw simulationLaw;  // its code is resolved only for a simulated series
    ValueList simulationParameters;
    bool expert = false;  // the expert gives a value and two exceedance probabilities
    double expertMaxQuantile = 0.0;
    double riskP1 = 0.0;
    double riskP2 = 0.0;
    double defiance = 0.0;  // the risk level of the prior's interval
    ExpertConfidence confidence = ExpertConfidence::kNotGiven;
    CentralTest test = CentralTest::kAndersonDarling;
    double testLevel1 = 0.0;
    double testLevel2 = 0.0;
    int excessCount = 0;
    double quantileOrder = 0.0;
    Sample extraOrders;  // x = a further order that is not 0, y = its position 1, 2, ...
};

// Task 27: samples of the predictive law of a series under a prior.
struct LoadType4Parameters {
    CommonFrame frame;
    NamedLaw law;               // an unknown name keeps LawCode::kUnknown; the task refuses it
    bool weibullShape = false;  // the prior is on the Weibull shape ("WeibullForme")
    ValueList priorParameters;
    double sampleSize = 0.0;
    double sampleCount = 0.0;
    int classCount = 0;
    double priorLow = kPriorBoundAbsent;
    double priorHigh = kPriorBoundAbsent;
};

// Tasks 28 to 35: the tail methods over a range of numbers of excesses.
struct LoadType5Parameters {
    CommonFrame frame;
    std::vector<std::string> methodNames;  // as read, at most kNameTableSize
    std::vector<TailMethod> methods;       // one per name, set once every check has passed
    int excessLow = 0;
    int excessHigh = 0;  // 0: no upper bound
    double quantileOrder = 0.0;
};

}  // namespace evstat
