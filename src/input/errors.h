// Failure codes of a run and the error file that tells the front end about them.
#pragma once

#include <string>
#include <string_view>

namespace evstat {

// Thrown by value, caught once by the driver. What the user needs to find the fault (the
// file and line, the word, the value) travels beside it, through with_detail below.
enum class Erreur : int {
    MissingLines = 0,
    DirectoryNotFound = 1,
    DirectoryNotText = 2,
    FileNotFound = 3,
    FileNameNotText = 4,
    TaskOutOfRange = 5,
    TaskNotInteger = 6,
    TaskNotForLoadType = 7,
    TaskNotIntegerUnused = 8,
    UnknownLaw = 9,
    LawNameNotText = 10,
    LawParameterNotNumeric = 11,
    InvalidLawParameters = 12,
    SampleSizeNotInteger = 13,
    SampleSizeNegative = 14,
    LowerBoundNotNumeric = 15,
    SampleCountNotInteger = 16,
    SampleCountNegative = 17,
    UpperBoundNotNumeric = 18,
    UpperBelowLower = 19,
    ClassCountNotInteger = 20,
    PointCountNotInteger = 21,
    PointCountNegative = 22,
    ClassCountNegative = 23,
    ExcessCountNotInteger = 24,
    ExcessCountNegative = 25,
    TestLevelNotNumeric = 26,
    TestLevelNotAccepted = 27,
    ExcessLowNotInteger = 28,
    ExcessLowNegative = 29,
    ExcessHighNotInteger = 30,
    ExcessHighNegative = 31,
    ExcessHighBelowLow = 32,
    EtVersionNotInteger = 33,
    EtVersionNotAccepted = 34,
    BootstrapCountNotInteger = 35,
    BootstrapCountNegative = 36,
    QuantileOrderNotNumeric = 37,
    QuantileOrderOutOfRange = 38,
    PriorBoundNotNumeric = 39,
    PriorUpperBelowLower = 40,
    SimulatedFlagNotInteger = 41,
    SimulatedFlagNotAccepted = 42,
    SimulationLawNotText = 43,
    SimulationLawUnknownUnused = 44,
    ExpertFlagNotNumeric = 45,
    ExpertFlagNotAccepted = 46,
    ExpertQuantileNotNumeric = 47,
    RiskP1NotNumeric = 48,
    RiskP1OutOfRange = 49,
    RiskP2NotNumeric = 50,
    RiskP2OutOfRange = 51,
    RiskP2AboveP1 = 52,
    DefianceNotNumeric = 53,
    DefianceOutOfRange = 54,
    ConfidenceNotText = 55,
    ConfidenceNotAccepted = 56,
    TestNameNotText = 57,
    TestNameNotAccepted = 58,
    MethodNameNotText = 59,
    MethodNameNotAccepted = 60,
    NegativeData = 61,
    OutsideSupport = 62,
    NoEstimator = 63,
    NegativeDataForLaw = 64,
    MethodPreconditionFails = 65,
    TooFewArguments = 66,
    DataNotNumeric = 67,
    ResultNotWritable = 68,
};

constexpr int kErreurCount = 69;

// The French message of a code, in Windows-1252 bytes.
std::string_view error_message(Erreur code);

// The sentence the tail tasks write themselves before the largest usable number of excesses.
extern const std::string_view kNegativeDataSentence;

// Writes the error file: the message of the code and nothing else (no line end).
class ErrorReporter {
public:
    // Returns false when the file could not be created or written.
    bool write(const std::string& path, Erreur code) const;
};

// Records what was wrong, in the user's terms (UTF-8, or the bytes of the user's own
// files), for the failure about to be raised, and returns its code:
//     throw with_detail(Erreur::UnknownLaw, "loi \"" + name + "\"");
// A code thrown without a detail is reported with its message alone.
Erreur with_detail(Erreur code, std::string detail);
// Forgets the detail of an earlier failure (once at the start of a run).
void clear_error_detail();
// The detail this thread recorded for the code ("" when none), then forgotten: a failure
// met on a worker thread is raised again on the run's own thread with it. Each thread
// keeps its own detail.
std::string take_error_detail(Erreur code);
// The one line standard error gets for a caught code, in UTF-8 and without a line end:
// "Erreur <code> : <message>", then " (<detail>)" when the failure recorded one.
std::string error_line(Erreur code);

// The error file of the working directory: a stale one from an earlier run is removed
// once the directory is known. False when it exists and cannot be removed.
bool remove_error_file(const std::string& path);

}  // namespace evstat
