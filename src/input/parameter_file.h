// The ParameterFile: the shared reading frame (line table, conversions, common head)
// and the loaders of each LoadType built on it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "driver/run.h"
#include "input/errors.h"

namespace evstat {

constexpr int kLineSlots = 30;   // lines kept; later ones are ignored
constexpr int kLineWidth = 80;   // a longer line continues in the next slot

// Minimum number of lines of each layout (all lines ending with a line break).
constexpr int kMinimumLinesLoadType1 = 11;

// The lines of a ParameterFile, 1-based. Windows line ends read as plain ones, and a
// last line without a line end counts as a line.
class LineTable {
public:
    // Raises FileNotFound when the file does not exist.
    static LineTable read(const std::string& path);
    int line_count() const { return lineCount_; }
    // The text of line `number` (1-based); empty past the lines read.
    const std::string& line(int number) const;

private:
    std::array<std::string, kLineSlots> slots_{};
    int lineCount_ = 0;
};

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

// Raises MissingLines when the file has fewer than `minimumLines` lines.
void require_lines(const LineTable& table, int minimumLines);

// Lines 1 to 4, shared by every layout: directory (entered), data file, TaskNumber
// checked against the LoadType, result file.
void load_common_head(const LineTable& table, int loadType, RunParameters& parameters);

// True when the LoadType accepts the TaskNumber.
bool task_accepted(int loadType, int taskNumber);

void load_parameter_file_1(const std::string& path, RunParameters& parameters);

}  // namespace evstat
