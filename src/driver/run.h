// The run: command line, loading, the driver's own checks, seeding, the task, the single catch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "laws/catalogue.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"

namespace evstat {

// Room in the law-name and method-name tables of LoadTypes 2 and 5.
constexpr int kNameTableSize = 11;
// A bound of the Beta prior's interval that the ParameterFile leaves out ("*").
constexpr double kPriorBoundAbsent = -999.0;

// What a loader hands back to the driver. Every loader fills the first four fields;
// the rest depend on the LoadType.
struct RunParameters {
    std::string parameterFile;  // the ParameterFile of the run, as an absolute path (set by the driver)
    std::string directory;  // ends with the path separator; file names are appended to it
    bool directoryRead = false;  // line 1 has been read (the error file can be named)
    std::string dataFile;
    int taskNumber = 0;
    std::string resultFile;

    // LoadTypes 1, 3, 4
    std::string lawName;
    ValueList lawParameters;

    // LoadType 1
    double lowerOrSize = 0.0;
    double upperOrSamples = 0.0;
    int pointsOrClasses = 0;

    // LoadType 2
    std::vector<std::string> lawNames;  // at most kNameTableSize
    int lawCount = 0;
    int excessCount = 0;
    double testLevel = 0.0;
    int excessLow = 0;
    int excessHigh = 0;
    int etVersion = 0;
    int bootstrapCount = 0;
    double quantileOrder = 0.0;
    int method = 0;  // tasks 38 to 46: 1 "HW", 2 "EMV", 3 "Hill", 4 "HillG", 5 "Zipf"

    // LoadType 4
    double sampleSize = 0.0;
    double sampleCount = 0.0;
    int classCount = 0;

    // LoadType 5
    std::vector<std::string> methodNames;  // at most kNameTableSize
    int methodCount = 0;
    Sample methodCodes;  // x = 0, y = the method code 1 to 5, one point per name

    // LoadTypes 3 and 4: interval of a Beta prior
    double priorLow = kPriorBoundAbsent;
    double priorHigh = kPriorBoundAbsent;

    // LoadType 3 (task 25; lawParameters are those of the simulation law, and excessCount
    // and quantileOrder are read as in LoadType 2). A "*" leaves expertMaxQuantile, riskP1
    // and riskP2 as they are.
    int simulated = 0;           // 1 when the series was simulated from simulationLaw
    std::string simulationLaw;
    int expert = 0;              // 1: the expert gives a value and two exceedance probabilities
    double expertMaxQuantile = 0.0;
    double riskP1 = 0.0;
    double riskP2 = 0.0;
    double defiance = 0.0;       // the risk level of the prior's interval
    std::string confidence;      // "Forte", "Moyenne", "Faible" or "*"
    std::string testName;        // "AD" or "CVM"
    double testLevel1 = 0.0;
    double testLevel2 = 0.0;
    Sample extraOrders;          // x = a further order that is not 0, y = its position 1, 2, ...
};

// The loaded parameters and the values the driver derives from them.
struct RunContext {
    RunParameters parameters;
    int loadType = 0;
    LawCode lawCode = kUnknownLaw;
    LawCode simulationLawCode = kUnknownLaw;
    int weibullShapeFlag = 0;
    int testSelector = 0;
    WorkerPool* pool = nullptr;  // the run's threads, owned by the driver
};

// Runs the engine on a command line; returns the process exit status. The generator is
// seeded from the clock, or with `seed` when one is given (tests that fix the draws). The
// run's studies use as many threads as the machine has, or EVSTAT_THREADS when it is set
// (read once, at the start); their files are the same bytes whatever the number.
int run(int argc, char** argv, std::optional<std::uint32_t> seed = std::nullopt);

// The law-parameter check of the law-curve and simulation tasks: true when the
// parameters are usable for the law (a missing parameter is not).
bool law_parameters_valid(LawCode code, const ValueList& parameters);

}  // namespace evstat
