// Fuzz target: a whole run of the engine, in-process, with a fixed seed.
//
// Input, as text:
//   a first line "1" to "5": the LoadType;
//   the ParameterFile, up to the first line that begins with "--- ";
//   then any number of files, each introduced by a line "--- NAME" (NAME of letters,
//   digits, '_' and '.', not beginning with '.') and holding the lines after it.
// Lines of the ParameterFile that begin with '@' name the scratch directory. The files and
// the ParameterFile "Tmp1.txt" are written into the scratch directory, the engine is run
// there on "Tmp1.txt" as the front end runs it, and the directory is emptied afterwards.
//
// Inputs refused without a run (each run must stay short and inside the scratch directory):
//   - a ParameterFile holding '/', since only '@' may name a place outside the names of
//     the scratch directory;
//   - more than kFuzzMostFiles files, or a file name outside the rule above;
//   - a ParameterFile that loads and asks for more work than the bounds below, yet less
//     than the engine's own work bounds (which refuse a request with code 12 at once, so
//     such requests are run): samples of more than kFuzzMostSampleValues values, more than
//     kFuzzMostSamples samples, more than kFuzzMostGridPoints grid steps or histogram
//     classes; more than kFuzzMostResamples resamples; more than kFuzzMostWork units of
//     the tasks whose work grows faster than their series (see work_of); for LoadType 3,
//     more than kFuzzMostExpertValues values or a Weibull-shape grid of more than
//     kFuzzMostShapeGridPoints points (see shape_grid_points). The normal and lognormal
//     tables of LoadType 3 hold at most kFuzzMostTablePoints points: the engine refuses
//     longer ones with 12, its Weibull-shape table evaluates its kernel at most
//     kFuzzMostShapeEvaluations times, and its predictive samplers make at most
//     kFuzzMostShapeProposals shape proposals each (the engine's own bounds, lowered for the
//     fuzz runs and handed to the run).
// After the run: the status is 0 or 1; a failed run has left its error file (line 1
// followed by "Erreur.txt") in the scratch directory; a run from the scratch directory
// itself that succeeded leaves no "Erreur.txt" but the tail tasks' own sentence; the
// ParameterFile is as it was written.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>
#include <vector>

#include "driver/run.h"
#include "driver/work_bounds.h"
#include "fuzz_support.h"
#include "input/parameter_file.h"
#include "records/errors.h"
#include "tail/bayes/predictive_sample.h"

namespace evstat::fuzz {
namespace {

constexpr std::uint32_t kSeed = 20261209;
constexpr std::size_t kFuzzMostFiles = 12;
constexpr std::size_t kLongestFileName = 40;
constexpr double kFuzzMostSampleValues = 2000.0;
constexpr double kFuzzMostSamples = 10.0;
constexpr int kFuzzMostGridPoints = 5000;
constexpr int kFuzzMostResamples = 20;
// Tasks whose work grows with the product of the series size and the tests, or with its
// square (tasks 15, 30 and 34): at most this many units, a unit being one value of one
// test of one resample (about a microsecond in the fuzz build).
constexpr double kFuzzMostWork = 4e6;
// LoadType 3: the predictive test draws some hundreds of series of n values, each value a
// rejection draw over the data (n squared); the Weibull-shape grid has one integration a point
// (about 20 microseconds in the fuzz build), the normal table a cheaper one.
constexpr double kFuzzMostExpertValues = 300.0;
constexpr double kFuzzMostShapeGridPoints = 60'000.0;
constexpr long long kFuzzMostTablePoints = 500'000;
// The shape rejection of the predictive draws: at most this many proposals a sampler (the
// engine's own bound, lowered), since a posterior far from the prior accepts few of them.
constexpr long long kFuzzMostShapeProposals = 200'000;
// The predictive kernel over the Weibull-shape grid: at most this many evaluations (the
// engine's own bound, lowered), since a point whose integration does not converge takes 2^18.
constexpr long long kFuzzMostShapeEvaluations = 5'000'000;
// The engine's own bounds of the predictive tables and draws, lowered for the fuzz runs.
constexpr WorkBounds kFuzzBounds{kFuzzMostTablePoints, kFuzzMostShapeEvaluations,
                                 kFuzzMostShapeProposals};

struct NamedFile {
    std::string_view name;
    std::string_view bytes;
};

bool valid_file_name(std::string_view name) {
    if (name.empty() || name.size() > kLongestFileName || name.front() == '.') return false;
    for (const char c : name) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_' && c != '.') return false;
    }
    return true;
}

// Splits the text after the LoadType line into the ParameterFile and the named files;
// false when the input breaks the rules of the header.
bool split_input(std::string_view text, std::string_view& parameterText, std::vector<NamedFile>& files) {
    constexpr std::string_view kMark = "--- ";
    std::size_t at = 0;
    std::size_t partStart = 0;
    NamedFile* open = nullptr;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        if (line.substr(0, kMark.size()) == kMark) {
            const std::string_view part = text.substr(partStart, at - partStart);
            if (open == nullptr)
                parameterText = part;
            else
                open->bytes = part;
            if (files.size() == kFuzzMostFiles) return false;
            std::string_view name = line.substr(kMark.size());
            if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
            if (!valid_file_name(name)) return false;
            files.push_back({name, {}});
            open = &files.back();
            partStart = end + 1;
        }
        at = end + 1;
    }
    const std::string_view last = partStart < text.size() ? text.substr(partStart) : std::string_view();
    if (open == nullptr)
        parameterText = last;
    else
        open->bytes = last;
    return parameterText.find('/') == std::string_view::npos;
}

std::string read_back(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The error file's name is line 1 followed by "Erreur.txt", so a directory line without
// its final separator puts it beside that directory: here, always in the scratch directory.
bool error_file_left(const ScratchDirectory& work) {
    constexpr std::string_view kErrorFile = "Erreur.txt";
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(work.dir(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= kErrorFile.size() && name.compare(name.size() - kErrorFile.size(), kErrorFile.size(), kErrorFile) == 0)
            return true;
    }
    return false;
}

// The error file of the working directory, when a run that succeeded leaves one, holds
// the tail tasks' own sentence.
bool no_stale_error_file(const ScratchDirectory& work) {
    const std::string name = work.file("Erreur.txt");
    if (!std::filesystem::exists(name)) return true;
    return read_back(name).rfind(kNegativeDataSentence, 0) == 0;
}

// The words of all the files of the input: a bound on the size of any series a run reads
// and on the values of the numbered files together.
double words_in(const std::vector<NamedFile>& files) {
    double words = 0.0;
    for (const NamedFile& file : files) {
        bool inWord = false;
        for (const char c : file.bytes) {
            const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
            if (!space && !inWord) words += 1.0;
            inWord = !space;
        }
    }
    return words;
}

// The largest number in the files of the input (0 when none is above it): a bound on the
// largest value of any series a run reads.
double largest_number_in(const std::vector<NamedFile>& files) {
    double largest = 0.0;
    for (const NamedFile& file : files) {
        const std::string text(file.bytes);
        const char* at = text.c_str();
        while (*at != '\0') {
            char* end = nullptr;
            const double value = std::strtod(at, &end);
            if (end == at) {
                ++at;
                continue;
            }
            if (std::isfinite(value)) largest = std::max(largest, std::fabs(value));
            at = end;
        }
    }
    return largest;
}

// The most points the Weibull-shape grid of the predictive law can take for a far end
// E = max(3 X, 2 v): its fine regions before the decay point (at most 20,001 points), then
// E at the step of its tail, or the plain grid of E at its own step.
double shape_grid_points(double largestValue, double expertValue) {
    const double E = std::max(3.0 * largestValue, 2.0 * std::fabs(expertValue));
    const double tail = E <= 20.0 ? 0.0005 : E <= 100.0 ? 0.001 : 0.005;
    const double plain = E <= 20.0 ? 0.001 : E <= 100.0 ? 0.005 : 0.01;
    return std::max(20'001.0 + E / tail, E / plain);
}

// The work units of a LoadType 2 or 5 run over n values: laws or methods times n, times n
// for the tasks that are quadratic by definition, else times the numbers of excesses of the
// range times the series each test draws.
double work_of(const LoadType5Parameters& p, double n) {
    return static_cast<double>(p.methodNames.size()) * n * n;
}

double work_of(const LoadType2Parameters& p, double n) {
    const double laws = static_cast<double>(p.laws.size());
    const int task = p.frame.taskNumber;
    if (task == 15) return laws * n * n;
    const bool range = (task >= 22 && task <= 24) || (task >= 44 && task <= 46);
    const double counts = range ? std::min(std::max(p.excessHigh - p.excessLow + 1.0, 1.0), n + 1.0) : 1.0;
    const bool resampled = p.etVersion == 2 || p.etVersion == 3;
    return std::max(laws, 1.0) * n * counts * (resampled ? p.bootstrapCount + 1.0 : 1.0);
}

bool simulation_within(double size, double count) {
    try {
        require_simulation_within_bounds(size, count);
    } catch (Erreur) {
        return true;
    }
    return size <= kFuzzMostSampleValues && count <= kFuzzMostSamples;
}

bool grid_within(int steps) {
    try {
        require_grid_within_bounds(steps);
    } catch (Erreur) {
        return true;
    }
    return steps <= kFuzzMostGridPoints;
}

// The input's series: the number of its values, and its largest value.
struct SeriesSize {
    double values;
    double largest;
};

bool record_within(const std::monostate&, SeriesSize) {
    return true;
}

bool record_within(const LoadType1Parameters& p, SeriesSize) {
    const bool sampling = p.frame.taskNumber == 1 || p.frame.taskNumber == 5;
    if (p.frame.taskNumber == 1 && !simulation_within(p.sampleSize, p.sampleCount)) return false;
    return grid_within(sampling ? p.classCount : p.pointCount);
}

bool record_within(const LoadType2Parameters& p, SeriesSize series) {
    return p.bootstrapCount <= kFuzzMostResamples && work_of(p, series.values) <= kFuzzMostWork;
}

bool record_within(const LoadType3Parameters& p, SeriesSize series) {
    return series.values <= kFuzzMostExpertValues &&
           (!(p.law.code == LawCode::kWeibull && p.weibullShape) ||
            shape_grid_points(series.largest, p.expertMaxQuantile) <= kFuzzMostShapeGridPoints);
}

bool record_within(const LoadType4Parameters& p, SeriesSize) {
    return simulation_within(p.sampleSize, p.sampleCount) && grid_within(p.classCount);
}

bool record_within(const LoadType5Parameters& p, SeriesSize series) {
    return work_of(p, series.values) <= kFuzzMostWork;
}

// False when the loaded parameters ask for more work than a fuzz run may do, yet not so
// much that the engine itself refuses it (those requests run: the engine's refusal is
// quick). A file that does not load is run all the same: the engine refuses it at once.
bool within_bounds(int loadType, const std::string& path, double seriesValues,
                   double largestValue) {
    DirectoryRestorer restorer;
    RunRecord record;
    try {
        if (!load_parameter_file(loadType, path, record)) return true;
    } catch (Erreur) {
        return true;
    }
    return std::visit(
        [&](const auto& parameters) {
            return record_within(parameters, SeriesSize{seriesValues, largestValue});
        },
        record);
}

}  // namespace
}  // namespace evstat::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace evstat;
    using namespace evstat::fuzz;
    std::string_view rest;
    const std::string_view loadTypeLine = first_line(as_text(data, size), rest);
    const int loadType = load_type_of(loadTypeLine);
    if (loadType == 0) return 0;
    std::string_view parameterText;
    std::vector<NamedFile> files;
    if (!split_input(rest, parameterText, files)) return 0;

    const ScratchDirectory& work = scratch();
    for (const NamedFile& file : files) work.write(file.name, file.bytes);
    const std::string path = work.file("Tmp1.txt");
    std::string_view afterDirectory;
    const bool fromScratch = first_line(parameterText, afterDirectory) == "@";
    const std::string parameterFile = with_scratch_directory(parameterText, work.dir());
    work.write("Tmp1.txt", parameterFile);

    {
        // The front end starts the engine in the working directory, and so does this.
        DirectoryRestorer restorer;
        if (::chdir(work.dir().c_str()) != 0) broken("scratch directory lost");
        if (within_bounds(loadType, path, words_in(files), largest_number_in(files))) {
            std::string program = "evstat";
            std::string pathWord = path;
            std::string loadTypeWord(1, static_cast<char>('0' + loadType));
            char* argv[] = {program.data(), pathWord.data(), loadTypeWord.data(), nullptr};
            const int status = run(3, argv, kSeed, kFuzzBounds);
            if (status != 0 && status != 1) broken("exit status neither 0 nor 1");
            if (status == 1 && !error_file_left(work)) broken("a failed run left no error file");
            if (status == 0 && fromScratch && !no_stale_error_file(work))
                broken("a successful run left an error file");
            if (read_back(work.file("Tmp1.txt")) != parameterFile) broken("the ParameterFile was written");
        }
    }
    work.empty();
    return 0;
}
