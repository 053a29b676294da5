// Failure codes of a run and the error file that tells the front end about them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace evstat {

// The failure codes, by name and number; the message table of errors.cpp follows the numbers.
#define EVSTAT_ERREUR_CODES(X) \
    X(MissingLines, 0) \
    X(DirectoryNotFound, 1) \
    X(DirectoryNotText, 2) \
    X(FileNotFound, 3) \
    X(FileNameNotText, 4) \
    X(TaskOutOfRange, 5) \
    X(TaskNotInteger, 6) \
    X(TaskNotForLoadType, 7) \
    X(TaskNotIntegerUnused, 8) \
    X(UnknownLaw, 9) \
    X(LawNameNotText, 10) \
    X(LawParameterNotNumeric, 11) \
    X(InvalidLawParameters, 12) \
    X(SampleSizeNotInteger, 13) \
    X(SampleSizeNegative, 14) \
    X(LowerBoundNotNumeric, 15) \
    X(SampleCountNotInteger, 16) \
    X(SampleCountNegative, 17) \
    X(UpperBoundNotNumeric, 18) \
    X(UpperBelowLower, 19) \
    X(ClassCountNotInteger, 20) \
    X(PointCountNotInteger, 21) \
    X(PointCountNegative, 22) \
    X(ClassCountNegative, 23) \
    X(ExcessCountNotInteger, 24) \
    X(ExcessCountNegative, 25) \
    X(TestLevelNotNumeric, 26) \
    X(TestLevelNotAccepted, 27) \
    X(ExcessLowNotInteger, 28) \
    X(ExcessLowNegative, 29) \
    X(ExcessHighNotInteger, 30) \
    X(ExcessHighNegative, 31) \
    X(ExcessHighBelowLow, 32) \
    X(EtVersionNotInteger, 33) \
    X(EtVersionNotAccepted, 34) \
    X(BootstrapCountNotInteger, 35) \
    X(BootstrapCountNegative, 36) \
    X(QuantileOrderNotNumeric, 37) \
    X(QuantileOrderOutOfRange, 38) \
    X(PriorBoundNotNumeric, 39) \
    X(PriorUpperBelowLower, 40) \
    X(SimulatedFlagNotInteger, 41) \
    X(SimulatedFlagNotAccepted, 42) \
    X(SimulationLawNotText, 43) \
    X(SimulationLawUnknownUnused, 44) \
    X(ExpertFlagNotNumeric, 45) \
    X(ExpertFlagNotAccepted, 46) \
    X(ExpertQuantileNotNumeric, 47) \
    X(RiskP1NotNumeric, 48) \
    X(RiskP1OutOfRange, 49) \
    X(RiskP2NotNumeric, 50) \
    X(RiskP2OutOfRange, 51) \
    X(RiskP2AboveP1, 52) \
    X(DefianceNotNumeric, 53) \
    X(DefianceOutOfRange, 54) \
    X(ConfidenceNotText, 55) \
    X(ConfidenceNotAccepted, 56) \
    X(TestNameNotText, 57) \
    X(TestNameNotAccepted, 58) \
    X(MethodNameNotText, 59) \
    X(MethodNameNotAccepted, 60) \
    X(NegativeData, 61) \
    X(OutsideSupport, 62) \
    X(NoEstimator, 63) \
    X(NegativeDataForLaw, 64) \
    X(MethodPreconditionFails, 65) \
    X(TooFewArguments, 66) \
    X(DataNotNumeric, 67) \
    X(ResultNotWritable, 68)

constexpr int kErreurCount = 69;

// A failure of a run: its code and what the user needs to find the fault (the file and
// line, the word, the value), in the user's terms (UTF-8, or the bytes of the user's own
// files). Thrown by value, caught once by the driver:
//     throw Erreur::UnknownLaw;
//     throw with_detail(Erreur::UnknownLaw, "loi \"" + name + "\"");
// Two failures compare equal when their codes are equal, whatever their details.
class Erreur {
public:
    enum class Code : int {
#define EVSTAT_ERREUR_ENUMERATOR(name, number) name = number,
        EVSTAT_ERREUR_CODES(EVSTAT_ERREUR_ENUMERATOR)
#undef EVSTAT_ERREUR_ENUMERATOR
    };
    // Erreur::MissingLines and so on: the failures without a detail.
#define EVSTAT_ERREUR_CONSTANT(name, number) static const Erreur name;
    EVSTAT_ERREUR_CODES(EVSTAT_ERREUR_CONSTANT)
#undef EVSTAT_ERREUR_CONSTANT

    constexpr Erreur(Code code) : code_(code) {}
    // The failure of a code number (0 to kErreurCount - 1).
    explicit constexpr Erreur(int number) : code_(static_cast<Code>(number)) {}
    explicit constexpr operator int() const { return static_cast<int>(code_); }
    constexpr Code code() const { return code_; }
    // The detail, cut to the room kept for it.
    std::string_view detail() const { return {detail_.data(), length_}; }
    friend constexpr bool operator==(const Erreur& a, const Erreur& b) { return a.code_ == b.code_; }

private:
    friend Erreur with_detail(Erreur failure, std::string_view detail);
    // Bytes of detail kept: what the error line shows at most, and the rest of a UTF-8
    // sequence that starts within it.
    static constexpr std::size_t kDetailRoom = 304;
    Code code_;
    std::size_t length_ = 0;
    std::array<char, kDetailRoom> detail_{};
};

#define EVSTAT_ERREUR_DEFINITION(name, number) inline constexpr Erreur Erreur::name{Erreur::Code::name};
EVSTAT_ERREUR_CODES(EVSTAT_ERREUR_DEFINITION)
#undef EVSTAT_ERREUR_DEFINITION


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

// The failure with what was wrong (its detail replaced, when it had one).
Erreur with_detail(Erreur failure, std::string_view detail);
// The one line standard error gets for a caught failure, in UTF-8 and without a line end:
// "Erreur <code> : <message>", then " (<detail>)" when the failure carries one.
std::string error_line(const Erreur& failure);

// The error file of the working directory: a stale one from an earlier run is removed
// once the directory is known. False when it exists and cannot be removed.
bool remove_error_file(const std::string& path);

}  // namespace evstat
