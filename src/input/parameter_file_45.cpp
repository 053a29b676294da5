// LoadType 4 (task 27: samples of one law with a Beta prior) and LoadType 5 (tasks 28 to
// 35: tail methods over a range of numbers of excesses).
#include "input/parameter_file.h"
#include "tail/methods/tail.h"

namespace evstat {

namespace {
// LoadType 5: lines of the file that are not method names.
constexpr int kHeadLines = 4;
constexpr int kClosingLines = 3;

// "*" passes the text test and then fails as an unknown method.
void check_method_name(const std::string& name) {
    if (!begins_with_letter(name) && name != "*") throw Erreur::MethodNameNotText;
    if (tail_method_from_name(name) == kUnknownTailMethod) throw Erreur::MethodNameNotAccepted;
}

// Sizes of task 27: a number that is not negative (NaN refused too).
double size_line(const LineTable& table, int number, Erreur notNumeric, Erreur negative) {
    const double value = double_line(table, number, notNumeric);
    if (!(value >= 0.0)) throw line_failure(table, number, negative);
    return value;
}
}  // namespace

void load_parameter_file_4(const std::string& path, LoadType4Parameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType4);
    load_common_head(table, 4, parameters.frame);

    parameters.law.name = law_name_line(table, 5);
    law_parameter_lines(table, 6, 8, parameters.priorParameters);
    parameters.sampleSize =
        size_line(table, 9, Erreur::SampleSizeNotInteger, Erreur::SampleSizeNegative);
    parameters.sampleCount =
        size_line(table, 10, Erreur::SampleCountNotInteger, Erreur::SampleCountNegative);
    parameters.classCount = non_negative_int_line(table, 11, Erreur::ClassCountNotInteger,
                                                  Erreur::ClassCountNegative);
    prior_bound_lines(table, 12, parameters.priorLow, parameters.priorHigh);
    // An unknown name is not refused here: task 27 refuses a law it cannot draw from.
    parameters.law = law_of_name(parameters.law.name, parameters.weibullShape);
}

void load_parameter_file_5(const std::string& path, LoadType5Parameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType5);
    load_common_head(table, 5, parameters.frame);

    const int last = table.line_count();
    const int methodCount = last - kHeadLines - kClosingLines;
    name_list(table, kHeadLines + 1, methodCount, check_method_name, parameters.methodNames);

    parameters.excessLow = non_negative_int_line(table, last - 2, Erreur::ExcessLowNotInteger,
                                                 Erreur::ExcessLowNegative);
    parameters.excessHigh = non_negative_int_line(table, last - 1, Erreur::ExcessHighNotInteger,
                                                  Erreur::ExcessHighNegative);
    // 0 means that the range has no upper bound.
    if (parameters.excessHigh != 0 && parameters.excessHigh < parameters.excessLow)
        throw line_failure(table, last - 1, Erreur::ExcessHighBelowLow);
    parameters.quantileOrder = quantile_order_line(table, last);

    // Every check passed: one code per name, in list order.
    for (const std::string& name : parameters.methodNames)
        parameters.methods.push_back(tail_method_from_name(name));
}

}  // namespace evstat
