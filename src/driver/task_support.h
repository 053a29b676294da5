// Steps shared by the tasks: the law of a name, the studies over the numbered data files,
// the rates of a column of decisions.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/files.h"
#include "driver/run.h"
#include "driver/work_bounds.h"
#include "parallel/worker_pool.h"
#include "records/errors.h"
#include "records/run_records.h"

namespace evstat {

// The last number a study over the numbered data files may reach.
constexpr int kLastNumberedFile = static_cast<int>(kMostNumberedFiles);
// A quantity that could not be computed (all-zero estimates, a failed tail fit).
constexpr double kNotAvailable = -10.0;

bool file_opens(const std::string& name);

// The code of a law the loader found in the catalogue; a name outside it fails with 9.
LawCode known_law(const NamedLaw& law);
// The first law of a law list.
LawCode first_law_code(const LoadType2Parameters& p);

// Numbered data files read at once by a study that visits them in order.
constexpr int kFilesReadAhead = 64;

// Calls work(i) for every i in [0, count) on the pool. When pieces fail, the failure of
// the lowest i (the one a single thread meets first) is raised again on this thread, with
// the detail it carries.
void for_each_on_pool(WorkerPool& pool, std::size_t count,
                      const std::function<void(std::size_t)>& work);

// The numbered data files a study reads: Donnees.txt, Donnees2.txt, ... up to the first
// name that does not open, kMostNumberedFiles at most. Each is read once when they are
// counted (on the pool), so that a file that is not a data file (3, 67, 12) stops the study
// before anything is computed, with the failure of the first such file. Without even the
// first file there is nothing to study, and a mean or a rate of nothing would be 0/0: the
// run fails with the code of a missing file, so that the front end learns why no result
// came. The series read are kept for the study while they hold kKeptNumberedValues values
// in all; the study reads the others again.
struct NumberedFiles {
    std::vector<std::optional<Series>> kept;  // file i at i - 1, one a file found

    int count() const { return static_cast<int>(kept.size()); }

    // The series of file i (from 1), as the file holds it: the kept one, moved out, or
    // the file read again.
    void take(const std::string& directory, int i, Series& series);
};
constexpr long long kKeptNumberedValues = 1LL << 22;

NumberedFiles read_numbered_files(WorkerPool& pool, const std::string& directory);

// Hands the series of each numbered data file, read as written, to visit(series, i),
// from i = 1 over the files read_numbered_files finds, or until visit returns false.
// The visits are made in order on this thread (they may draw); the files not kept are
// read ahead on the pool. Returns the number of files visited.
template <typename Visit>
int for_each_numbered_file(WorkerPool& pool, const std::string& directory, Visit visit) {
    NumberedFiles numbered = read_numbered_files(pool, directory);
    const int files = numbered.count();
    std::vector<Series> read(static_cast<std::size_t>(std::min(files, kFilesReadAhead)));
    for (int first = 1; first <= files; first += kFilesReadAhead) {
        const int count = std::min(kFilesReadAhead, files - first + 1);
        for_each_on_pool(pool, static_cast<std::size_t>(count), [&](std::size_t at) {
            numbered.take(directory, first + static_cast<int>(at), read[at]);
        });
        for (int at = 0; at < count; ++at)
            if (!visit(read[static_cast<std::size_t>(at)], first + at)) return first + at;
    }
    return files;
}

// The result of test(series, i) for each numbered data file, in the order of the files,
// into `results`; the number of files. A test that draws (`draws`) is made in order on
// this thread; any other is made on the pool, each with the series of its file alone and
// scratch of its own, and the first file whose test fails stops the study with its
// failure, as in order.
template <typename Result, typename Test>
int numbered_file_results(WorkerPool& pool, const std::string& directory, bool draws, Test test,
                          std::vector<Result>& results) {
    results.clear();
    if (draws)
        return for_each_numbered_file(pool, directory, [&](Series& series, int i) {
            results.push_back(test(series, i));
            return true;
        });
    NumberedFiles numbered = read_numbered_files(pool, directory);
    const int files = numbered.count();
    results.resize(static_cast<std::size_t>(files));
    for_each_on_pool(pool, static_cast<std::size_t>(files), [&](std::size_t at) {
        Series series;
        const int i = static_cast<int>(at) + 1;
        numbered.take(directory, i, series);
        results[at] = test(series, i);
    });
    return files;
}

// Fails with 68 (ResultNotWritable) before anything is written when one of the `count`
// curve pairs numbered firstNumber, firstNumber + 1, ... would name the run's own
// ParameterFile (its "Tmp" k ".txt" or its "Result" k ".txt"). A task that writes curve
// pairs calls it first, with the number of its first pair (the result number + 1) and
// the most pairs it may write.
void require_curve_pairs_spare_parameter_file(const RunFiles& files, const CommonFrame& frame,
                                              int firstNumber, int count);

// The rejection and acceptance percentages of the decisions (1 accepted, 0 rejected),
// then the spread 100 sqrt(v / i), i being the number of files read plus one.
void write_rates(const RunFiles& files, const std::string& resultFile, std::span<const double> decisions,
                 int i);

void append_points(Sample& to, const Sample& from);

// The series of a data file, in increasing order (the sort leaves a sorted file as read).
void read_sorted_series(const std::string& name, Series& series);

// The estimation step of the tests of fit: the estimates of a law over a series,
// appended to the parameter list. The generalized Pareto law over a series holding a
// value not above 0 gets (0, 0) without estimating.
void estimate_for_test(std::span<const double> series, LawCode code, ValueList& parameters);

// All estimates zero; an empty list counts as such (nothing was estimated).
bool all_estimates_zero(const ValueList& estimates);

// The laws whose estimates stay meaningful over a series holding values not above 0.
bool defined_over_non_positive(LawCode code);

// "%24.17e" of a value, as a text line of the summary.
std::string formatted(double value);

// The seven-line summary of the simulation and description tasks: theoretical mean,
// mean, theoretical variance, variance, then the quartiles and the median of the sorted
// sample with the count n.
void write_summary(OutputFile& out, const std::string& theoreticalMean, double mean,
                   const std::string& theoreticalVariance, double variance, std::span<const double> sorted,
                   int n);

// The numbered data files of a simulation: the sorted first sample to "Donnees.txt";
// unless `count` is exactly 1, for i = 2 while i is not above `count`, draw(sample) fills
// the cleared sample again, which is sorted and written to the file numbered i.
template <typename Draw>
void write_numbered_samples(const RunFiles& files, const std::string& directory, double count,
                            Series& sample, Draw draw) {
    write_values(files, sample, numbered_data_file(directory, 1));
    if (count == 1.0) return;
    for (int i = 2; i <= count && i <= kLastNumberedFile; ++i) {
        sample.clear();
        draw(sample);
        sort_ascending(sample);
        write_values(files, sample, numbered_data_file(directory, i));
    }
}

}  // namespace evstat
