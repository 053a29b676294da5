// The ParameterFile: the shared reading frame (line table, conversions, common head)
// and the loaders of each LoadType built on it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/errors.h"
#include "records/file_names.h"
#include "records/run_records.h"

namespace evstat {

constexpr int kLineSlots = 30;   // lines kept; later ones are ignored
constexpr int kLineWidth = 80;   // a longer line continues in the next slot

// Minimum number of lines of each layout (all lines ending with a line break).
constexpr int kMinimumLinesLoadType1 = 11;
constexpr int kMinimumLinesLoadType2 = 12;        // tasks 9 to 37: one law and the closing block
constexpr int kMinimumLinesLoadType2Method = 13;  // tasks 38 to 46: the method line follows
constexpr int kMinimumLinesLoadType3 = 28;
constexpr int kMinimumLinesLoadType4 = 15;        // only lines 1 to 13 are read
constexpr int kMinimumLinesLoadType5 = 8;         // one method and the three closing lines

// The lines of a ParameterFile, 1-based. Windows line ends read as plain ones, and a
// last line without a line end counts as a line.
class LineTable {
public:
    // Raises FileNotFound when the file does not exist.
    static LineTable read(const std::string& path);
    int line_count() const { return lineCount_; }
    const std::string& path() const { return path_; }
    // True when `name` is the file the table was read from, by any name.
    bool is_source(const std::string& name) const { return source_.is(name); }
    // The text of line `number` (1-based); empty past the lines read.
    const std::string& line(int number) const;

private:
    std::array<std::string, kLineSlots> slots_{};
    int lineCount_ = 0;
    std::string path_;
    ProtectedFile source_;
};

// The code of a failing line, its place and text recorded for standard error:
//     throw line_failure(table, 5, Erreur::LawNameNotText);
Erreur line_failure(const LineTable& table, int number, Erreur code);

// First character A to Z or a to z. Path lines also accept a leading separator on POSIX,
// where every absolute path begins with it.
bool begins_with_letter(std::string_view text);
bool path_begins_with_letter(std::string_view text);

// "%s": the first blank-delimited word (empty when there is none).
std::string first_word(std::string_view line);
// "%d" and "%lf": true when a number was converted.
bool convert_int(std::string_view text, int& value);
bool convert_double(std::string_view text, double& value);

// A numeric line: letter test on the line, then conversion. A line that begins with a
// letter or converts nothing raises `notNumeric`.
int int_line(const LineTable& table, int number, Erreur notNumeric);
double double_line(const LineTable& table, int number, Erreur notNumeric);

// A count ("%d"): as int_line, then a value below 0 raises `negative`.
int non_negative_int_line(const LineTable& table, int number, Erreur notNumeric, Erreur negative);
// A quantile order ("%lf", LoadTypes 2, 3 and 5): QuantileOrderNotNumeric, then an order
// outside 0 to 1 (both accepted; NaN refused) raises QuantileOrderOutOfRange.
double quantile_order_line(const LineTable& table, int number);

// Raises MissingLines when the file has fewer than `minimumLines` lines.
void require_lines(const LineTable& table, int minimumLines);

// Lines 1 to 4, shared by every layout: directory (entered), data file, TaskNumber
// checked against the LoadType, result file.
void load_common_head(const LineTable& table, int loadType, CommonFrame& frame);

// True when the LoadType accepts the TaskNumber.
bool task_accepted(int loadType, int taskNumber);

// A text line ("%s"): a word that begins with a letter, or "*"; else `notText`.
std::string text_line(const LineTable& table, int number, Erreur notText);
// A law-name line: text_line with LawNameNotText.
std::string law_name_line(const LineTable& table, int number);
// The law of a name: its code in the catalogue (LawCode::kUnknown outside it), except for the
// two Weibull words, "WeibullForme" (the prior is on the shape: `weibullShape` set) and
// "WeibullEchelle" (on the scale), which both name the Weibull law.
NamedLaw law_of_name(const std::string& name, bool& weibullShape);
// The failure of a law name outside the catalogue.
Erreur unknown_law(const std::string& name);
// A number that may be left out: "*" returns false and leaves `value` as it is; a word
// that begins with a letter or does not convert raises `notNumeric`.
bool optional_double_line(const LineTable& table, int number, Erreur notNumeric, double& value);
// A test level ("%lf"): TestLevelNotNumeric, then a level other than the tabulated ones
// (compared exactly; 0, meaning no test, only when `zeroAccepted`) raises TestLevelNotAccepted.
double test_level_line(const LineTable& table, int number, bool zeroAccepted);
// Law-parameter lines `first` to `last`, one word each: a word that begins with a letter
// (or does not convert) raises LawParameterNotNumeric, "*" adds nothing, any other word
// is appended to `parameters`.
void law_parameter_lines(const LineTable& table, int first, int last, ValueList& parameters);
// The interval of a Beta prior on lines `lowLine` and `lowLine + 1`: "*" leaves a bound
// absent (kPriorBoundAbsent), a word that begins with a letter or does not convert raises
// PriorBoundNotNumeric, and a given upper bound below the lower one (or NaN against it)
// raises PriorUpperBelowLower.
void prior_bound_lines(const LineTable& table, int lowLine, double& low, double& high);

// A list of names on `count` lines from `firstLine`, one word each, every name passed to
// `check` (which raises its code) in file order and then appended to `names`. The
// lists hold kNameTableSize names; a longer list is refused with MissingLines
// (the file does not have the layout of its LoadType) when its first extra line is
// reached, after the checks of the names before it.
void name_list(const LineTable& table, int firstLine, int count,
               void (*check)(const std::string& name), std::vector<std::string>& names);

// Each loader reads the ParameterFile of its LoadType into its record, enters the
// working directory of line 1 and turns every name into its code; the first failing check
// raises its code, and the fields filled before it keep their values.
// Tasks 1 to 8 and 26: a law, its parameters, and samples or a range; a law name outside
// the catalogue other than "*" raises UnknownLaw once every line has passed.
void load_parameter_file_1(const std::string& path, LoadType1Parameters& parameters);
// Tasks 9 to 24 and 36 to 46: the law list, then the test and excess settings.
void load_parameter_file_2(const std::string& path, LoadType2Parameters& parameters);
// Task 25: the law, the prior's interval, the simulation law, the expert's statement,
// the tests and the quantile orders; once every line has passed, a law (and for a
// simulated series, a simulation law) outside the catalogue raises UnknownLaw.
void load_parameter_file_3(const std::string& path, LoadType3Parameters& parameters);
// Task 27: a law, the sample sizes and the interval of a Beta prior.
void load_parameter_file_4(const std::string& path, LoadType4Parameters& parameters);
// Tasks 28 to 35: the tail-method list, then the excess range and the quantile order;
// `methods` is filled only when every check passed.
void load_parameter_file_5(const std::string& path, LoadType5Parameters& parameters);

// The record of a run's LoadType; none for a LoadType without a layout.
using RunRecord = std::variant<std::monostate, LoadType1Parameters, LoadType2Parameters,
                               LoadType3Parameters, LoadType4Parameters, LoadType5Parameters>;
// Loads the ParameterFile with the loader of the LoadType into a fresh record of its layout
// (a failed load leaves the fields read before the failure); false, loading nothing, for a
// LoadType without a layout.
bool load_parameter_file(int loadType, const std::string& path, RunRecord& record);

}  // namespace evstat
