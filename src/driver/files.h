// Data, result and curve files: the number format, the file operations of a series,
// the names the engine forms, the evaluation grid and the result number.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "laws/catalogue.h"
#include "records/file_names.h"
#include "records/run_records.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

// The files of one run, owned by the driver and lent to its task: the ParameterFile the
// run reads, which no output may replace.
class RunFiles {
  public:
    RunFiles() = default;  // protects no file
    explicit RunFiles(const std::string& parameterFile) : parameterFile_(parameterFile) {}
    // True when `name` is the run's ParameterFile (the same file, by any name).
    bool is_parameter_file(const std::string& name) const { return parameterFile_.is(name); }

  private:
    ProtectedFile parameterFile_;
};

// RAII handle on a file a task writes a block of lines to ("w" or "a"). Every step is
// checked and fails with 68 (ResultNotWritable), naming the file: the open (a file that
// cannot be created, or the run's own ParameterFile), every print_* through it, and the
// close in the destructor, which raises only when no other failure is already on its way.
class OutputFile {
  public:
    OutputFile(const RunFiles& files, const std::string& name, const char* mode);
    ~OutputFile() noexcept(false);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    std::FILE* get() const { return file_; }
    const std::string& name() const { return name_; }
    bool is_open() const { return file_ != nullptr; }  // always true once constructed
    void close();  // the destructor's close, for a caller that wants it earlier

  private:
    std::FILE* file_;
    std::string name_;
    int failuresInFlight_;
};

constexpr int kCurveSteps = 2000;  // steps of the grid of every curve file
constexpr int kDensityCurveTask = 2;   // the task a density curve pair records
constexpr int kSurvivalCurveTask = 8;  // the task a survival-function curve pair records

// The numbers of a data file, in order, replacing the series' values. The whole file must
// be finite numbers separated by white space: a word, a NaN or an infinity anywhere, or no
// number at all, fails with 67 (DataNotNumeric), which ends the run before the series is
// used. A name that is not a readable regular file (missing, a directory, a device) fails
// with 3; more than kMostSampleValues numbers fail with 12.
void read_series(const std::string& name, Series& series);
// The same, reading at most blockBytes bytes at a time (a larger file is read in blocks).
void read_series(const std::string& name, std::size_t blockBytes, Series& series);
// One point (number, 0) per number of the file, under the same rules.
void read_abscissas(Sample& abscissas, const std::string& name);
// The number a word of a data file spells, when it is one, whole and finite: an optional
// sign, then a decimal or hexadecimal number as the C library reads it.
bool parse_finite_number(std::string_view word, double& value);

// write_values: every value, the last without a line end; an empty series leaves the file
// untouched. write_pairs: "x<tab>y" lines, every line ended.
void write_values(const RunFiles& files, std::span<const double> series, const std::string& name);
void write_pairs(const RunFiles& files, const Sample& series, const std::string& name);

// "%24.17e" of the value, with an exponent of three digits at least on Windows, whatever the
// run-time library's own choice (the front end has always read three there), of two
// at least elsewhere.
std::string format_number(double value);

// Every write is checked: a write that fails raises 68 (ResultNotWritable).
void print_value(OutputFile& out, double value);            // "%24.17e\n"
void print_pair(OutputFile& out, double x, double y);       // "%24.17e\t%24.17e\n"
void print_text(OutputFile& out, const std::string& text);  // "%s\n"
void print_int(OutputFile& out, int value);                 // "%d\n"
void print_bytes(OutputFile& out, std::string_view bytes);  // the bytes alone, no line end

// Appends the abscissas a, a + step, ... not greater than b, step = (b - a) / m.
// A step that cannot move past b (zero width, no steps) gives the single point a.
// More steps than the grid bound allows fail with 12 before anything is appended.
void make_grid(double a, double b, int m, Sample& grid);

// The number k of a result file named directory + "Result" + k + ".txt"; 0 for a shorter name.
int result_number(const std::string& directory, const std::string& resultFile);

// A curve pair for the front end in the frame's directory: k is incremented, then "Tmp" k
// ".txt" (a LoadType 1 ParameterFile describing the curve of the law, named with the
// frame's data file) and "Result" k ".txt" (the density for curve task 2, the survival
// function for 8, evaluated over the grid).
void write_curve_pair(const RunFiles& files, const CommonFrame& frame, int& k, int curveTask,
                      const NamedLaw& law, const ValueList& parameters, double lower, double upper,
                      const Sample& grid);
// A curve pair whose curve is already computed: its range runs from its first to its last
// x and its point count is its size.
void write_table_curve_pair(const RunFiles& files, const CommonFrame& frame, int& k, int curveTask,
                            const std::string& lawName, const ValueList& parameters,
                            const Sample& curve);

}  // namespace evstat
