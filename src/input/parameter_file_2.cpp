// LoadType 2: the tasks that fit or compare several laws and study the tail (9 to 24 and
// 36 to 46). A list of law names whose length follows from the number of lines, then a
// closing block of excess, test and quantile settings, and for tasks 38 to 46 a method.
#include <string>
#include <vector>

#include "input/parameter_file.h"
#include "tail/methods/tail.h"

namespace evstat {

namespace {
constexpr int kLastEtVersion = 3;  // the ET test exists in versions 0 to 3

// Lines of the file that are not law names: the head and the closing block.
constexpr int kHeadLines = 4;
constexpr int kClosingLines = 7;

bool with_method_line(int taskNumber) { return taskNumber >= 38 && taskNumber <= 46; }

void check_law_name(const std::string& name) {
    if (!begins_with_letter(name) && name != "*") throw Erreur::LawNameNotText;
}

// Lines k to k + 6.
void load_closing_block(const LineTable& table, int k, LoadType2Parameters& parameters) {
    parameters.excessCount = non_negative_int_line(table, k, Erreur::ExcessCountNotInteger,
                                                   Erreur::ExcessCountNegative);

    parameters.testLevel = test_level_line(table, k + 1, true);  // 0: no test

    parameters.excessLow = non_negative_int_line(table, k + 2, Erreur::ExcessLowNotInteger,
                                                 Erreur::ExcessLowNegative);
    parameters.excessHigh = non_negative_int_line(table, k + 3, Erreur::ExcessHighNotInteger,
                                                  Erreur::ExcessHighNegative);
    if (parameters.excessHigh < parameters.excessLow)
        throw line_failure(table, k + 3, Erreur::ExcessHighBelowLow);

    parameters.etVersion = int_line(table, k + 4, Erreur::EtVersionNotInteger);
    if (parameters.etVersion < 0 || parameters.etVersion > kLastEtVersion)
        throw line_failure(table, k + 4, Erreur::EtVersionNotAccepted);

    parameters.bootstrapCount = non_negative_int_line(table, k + 5, Erreur::BootstrapCountNotInteger,
                                                      Erreur::BootstrapCountNegative);

    parameters.quantileOrder = quantile_order_line(table, k + 6);
}

// The tail method of tasks 38 to 46, one keyword.
TailMethod method_line(const LineTable& table, int number) {
    const std::string word = first_word(table.line(number));
    if (!begins_with_letter(word)) throw line_failure(table, number, Erreur::MethodNameNotText);
    const TailMethod code = tail_method_from_name(word);
    if (code == kUnknownTailMethod)
        throw line_failure(table, number, Erreur::MethodNameNotAccepted);
    return code;
}
}  // namespace

void load_parameter_file_2(const std::string& path, LoadType2Parameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType2);
    load_common_head(table, 2, parameters.frame);
    // The method line needs one line more; known once the TaskNumber is read.
    const bool method = with_method_line(parameters.frame.taskNumber);
    if (method) require_lines(table, kMinimumLinesLoadType2Method);

    const int trailingLines = kClosingLines + (method ? 1 : 0);
    const int lawCount = table.line_count() - kHeadLines - trailingLines;
    std::vector<std::string> names;
    name_list(table, kHeadLines + 1, lawCount, check_law_name, names);
    parameters.laws.clear();
    for (const std::string& name : names)
        parameters.laws.push_back({name, law_code_from_name(name)});

    const int k = kHeadLines + lawCount + 1;
    load_closing_block(table, k, parameters);
    if (method) parameters.method = method_line(table, k + kClosingLines);
}

}  // namespace evstat
