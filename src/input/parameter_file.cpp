#include "input/parameter_file.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace evstat {

namespace {
const std::string kEmptyLine;

// The existence test and the change of current directory of the platform's C library.
#ifdef _WIN32
bool file_exists(const std::string& name) { return ::_access(name.c_str(), 0) == 0; }
bool change_directory(const std::string& path) { return ::_chdir(path.c_str()) == 0; }
#else
bool file_exists(const std::string& name) { return ::access(name.c_str(), F_OK) == 0; }
bool change_directory(const std::string& path) { return ::chdir(path.c_str()) == 0; }
#endif

bool is_blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

LineTable LineTable::read(const std::string& path) {
    if (!file_exists(path)) throw with_detail(Erreur::FileNotFound, path);
    // The slots never need more than this many bytes, whatever the file holds after them.
    constexpr std::size_t kMostBytesRead = kLineSlots * (kLineWidth + 2) + 2;
    std::string text(kMostBytesRead, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));

    LineTable table;
    table.path_ = path;
    table.source_ = ProtectedFile(path);
    auto add_piece = [&table](std::string piece) {
        if (table.lineCount_ >= kLineSlots) return;
        table.slots_[static_cast<std::size_t>(table.lineCount_)] = std::move(piece);
        ++table.lineCount_;
    };
    std::size_t start = 0;
    while (start < text.size() && table.lineCount_ < kLineSlots) {
        std::size_t end = text.find('\n', start);
        const bool has_end = end != std::string::npos;
        if (!has_end) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A field is a C string: a NUL byte ends it.
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
        // A line longer than the slot width continues in the next slot.
        if (line.empty()) add_piece({});
        for (std::size_t at = 0; at < line.size(); at += kLineWidth)
            add_piece(line.substr(at, kLineWidth));
        start = has_end ? end + 1 : text.size();
    }
    return table;
}

Erreur line_failure(const LineTable& table, int number, Erreur code) {
    return with_detail(code, table.path() + ", ligne " + std::to_string(number) + " : \"" +
                                 table.line(number) + "\"");
}

const std::string& LineTable::line(int number) const {
    if (number < 1 || number > kLineSlots || number > lineCount_) return kEmptyLine;
    return slots_[static_cast<std::size_t>(number - 1)];
}

bool begins_with_letter(std::string_view text) {
    if (text.empty()) return false;
    const unsigned char c = static_cast<unsigned char>(text.front());
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool path_begins_with_letter(std::string_view text) {
#ifndef _WIN32
    if (!text.empty() && text.front() == '/') return true;
#endif
    return begins_with_letter(text);
}

std::string first_word(std::string_view line) {
    std::size_t begin = 0;
    while (begin < line.size() && is_blank(line[begin])) ++begin;
    std::size_t end = begin;
    while (end < line.size() && !is_blank(line[end])) ++end;
    return std::string(line.substr(begin, end - begin));
}

bool convert_int(std::string_view text, int& value) {
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const long long converted = std::strtoll(begin, &end, 10);
    if (end == begin) return false;
    if (converted > INT_MAX)
        value = INT_MAX;
    else if (converted < INT_MIN)
        value = INT_MIN;
    else
        value = static_cast<int>(converted);
    return true;
}

bool convert_double(std::string_view text, double& value) {
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    const double converted = std::strtod(begin, &end);
    if (end == begin) return false;
    value = converted;
    return true;
}

int int_line(const LineTable& table, int number, Erreur notNumeric) {
    const std::string& text = table.line(number);
    int value = 0;
    if (begins_with_letter(text) || !convert_int(text, value))
        throw line_failure(table, number, notNumeric);
    return value;
}

double double_line(const LineTable& table, int number, Erreur notNumeric) {
    const std::string& text = table.line(number);
    double value = 0.0;
    if (begins_with_letter(text) || !convert_double(text, value))
        throw line_failure(table, number, notNumeric);
    return value;
}

int non_negative_int_line(const LineTable& table, int number, Erreur notNumeric, Erreur negative) {
    const int value = int_line(table, number, notNumeric);
    if (value < 0) throw line_failure(table, number, negative);
    return value;
}

double quantile_order_line(const LineTable& table, int number) {
    const double order = double_line(table, number, Erreur::QuantileOrderNotNumeric);
    if (!(order >= 0.0 && order <= 1.0))
        throw line_failure(table, number, Erreur::QuantileOrderOutOfRange);
    return order;
}

void require_lines(const LineTable& table, int minimumLines) {
    if (table.line_count() < minimumLines)
        throw with_detail(Erreur::MissingLines, table.path() + " : " +
                                                    std::to_string(table.line_count()) +
                                                    " lignes, il en faut au moins " +
                                                    std::to_string(minimumLines));
}

bool task_accepted(int loadType, int taskNumber) {
    switch (loadType) {
        case 1: return (taskNumber >= 1 && taskNumber <= 8) || taskNumber == 26;
        case 2:
            return (taskNumber >= 9 && taskNumber <= 24) || (taskNumber >= 36 && taskNumber <= 46);
        case 3: return taskNumber == 25;
        case 4: return taskNumber == 27;
        case 5: return taskNumber >= 28 && taskNumber <= 35;
        default: return false;
    }
}

void load_common_head(const LineTable& table, int loadType, CommonFrame& frame) {
    frame.directory = table.line(1);
    frame.directoryRead = true;
    if (!path_begins_with_letter(frame.directory))
        throw line_failure(table, 1, Erreur::DirectoryNotText);
    if (!change_directory(frame.directory)) throw line_failure(table, 1, Erreur::DirectoryNotFound);
    // From here on the error file has its place: one left by an earlier run goes (unless
    // it is the very ParameterFile of the run).
    const std::string errorFile = error_file_name(frame.directory);
    if (!table.is_source(errorFile) && !remove_error_file(errorFile))
        throw with_detail(Erreur::ResultNotWritable, "ancien fichier non supprim\xc3\xa9 : " + errorFile);

    frame.dataFile = table.line(2);
    const bool no_data_file = frame.dataFile == "*" || frame.dataFile == "Tous";
    if (!path_begins_with_letter(frame.dataFile) && frame.dataFile != "*")
        throw line_failure(table, 2, Erreur::FileNameNotText);
    if (!no_data_file && !file_exists(frame.dataFile))
        throw line_failure(table, 2, Erreur::FileNotFound);

    frame.taskNumber = int_line(table, 3, Erreur::TaskNotInteger);
    if (frame.taskNumber < 1 || frame.taskNumber > 46)
        throw line_failure(table, 3, Erreur::TaskOutOfRange);
    if (!task_accepted(loadType, frame.taskNumber))
        throw line_failure(table, 3, Erreur::TaskNotForLoadType);

    frame.resultFile = table.line(4);
    if (!path_begins_with_letter(frame.resultFile) && frame.resultFile != "*")
        throw line_failure(table, 4, Erreur::FileNameNotText);
}

std::string text_line(const LineTable& table, int number, Erreur notText) {
    std::string word = first_word(table.line(number));
    if (!begins_with_letter(word) && word != "*") throw line_failure(table, number, notText);
    return word;
}

std::string law_name_line(const LineTable& table, int number) {
    return text_line(table, number, Erreur::LawNameNotText);
}

NamedLaw law_of_name(const std::string& name, bool& weibullShape) {
    weibullShape = name == "WeibullForme";
    if (weibullShape || name == "WeibullEchelle") return {name, LawCode::kWeibull};
    return {name, law_code_from_name(name)};
}

Erreur unknown_law(const std::string& name) {
    return with_detail(Erreur::UnknownLaw, "loi \"" + name + "\"");
}

bool optional_double_line(const LineTable& table, int number, Erreur notNumeric, double& value) {
    const std::string word = first_word(table.line(number));
    if (word == "*") return false;
    if (begins_with_letter(word) || !convert_double(word, value))
        throw line_failure(table, number, notNumeric);
    return true;
}

double test_level_line(const LineTable& table, int number, bool zeroAccepted) {
    // The levels for which the tests of fit have critical values, compared exactly.
    constexpr std::array<double, 5> kTabulatedLevels = {0.25, 0.1, 0.05, 0.025, 0.01};
    const double level = double_line(table, number, Erreur::TestLevelNotNumeric);
    if (zeroAccepted && level == 0.0) return level;
    for (double tabulated : kTabulatedLevels)
        if (level == tabulated) return level;
    throw line_failure(table, number, Erreur::TestLevelNotAccepted);
}

void law_parameter_lines(const LineTable& table, int first, int last, ValueList& parameters) {
    for (int number = first; number <= last; ++number) {
        const std::string word = first_word(table.line(number));
        if (begins_with_letter(word)) throw line_failure(table, number, Erreur::LawParameterNotNumeric);
        if (word == "*") continue;
        double value = 0.0;
        if (!convert_double(word, value))
            throw line_failure(table, number, Erreur::LawParameterNotNumeric);
        parameters.push_back(value);
    }
}

namespace {
// One bound of the prior's interval: "*" leaves it absent (false), any other word is a number.
bool prior_bound(const LineTable& table, int number, double& bound) {
    if (optional_double_line(table, number, Erreur::PriorBoundNotNumeric, bound)) return true;
    bound = kPriorBoundAbsent;
    return false;
}
}  // namespace

void prior_bound_lines(const LineTable& table, int lowLine, double& low, double& high) {
    prior_bound(table, lowLine, low);
    const bool highGiven = prior_bound(table, lowLine + 1, high);
    // Written as the accepted case so that a NaN bound is refused too.
    if (highGiven && !(high >= low))
        throw line_failure(table, lowLine + 1, Erreur::PriorUpperBelowLower);
}

void name_list(const LineTable& table, int firstLine, int count,
               void (*check)(const std::string& name), std::vector<std::string>& names) {
    names.clear();
    for (int number = firstLine; number < firstLine + count; ++number) {
        if (static_cast<int>(names.size()) == kNameTableSize)
            throw line_failure(table, number, Erreur::MissingLines);
        std::string name = first_word(table.line(number));
        try {
            check(name);
        } catch (Erreur code) {
            throw line_failure(table, number, code);  // the code of the check, with its line
        }
        names.push_back(std::move(name));
    }
}

void load_parameter_file_1(const std::string& path, LoadType1Parameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType1);
    load_common_head(table, 1, parameters.frame);

    parameters.law.name = law_name_line(table, 5);
    law_parameter_lines(table, 6, 8, parameters.lawParameters);

    const int task = parameters.frame.taskNumber;
    if (task == 1 || task == 5) {
        parameters.sampleSize = double_line(table, 9, Erreur::SampleSizeNotInteger);
        if (task == 1 && parameters.sampleSize < 0.0)
            throw line_failure(table, 9, Erreur::SampleSizeNegative);
        parameters.sampleCount = double_line(table, 10, Erreur::SampleCountNotInteger);
        if (task == 1 && parameters.sampleCount < 0.0)
            throw line_failure(table, 10, Erreur::SampleCountNegative);
        parameters.classCount = non_negative_int_line(table, 11, Erreur::ClassCountNotInteger,
                                                      Erreur::ClassCountNegative);
    } else {
        parameters.lower = double_line(table, 9, Erreur::LowerBoundNotNumeric);
        parameters.upper = double_line(table, 10, Erreur::UpperBoundNotNumeric);
        if (parameters.upper < parameters.lower)
            throw line_failure(table, 10, Erreur::UpperBelowLower);
        parameters.pointCount = non_negative_int_line(table, 11, Erreur::PointCountNotInteger,
                                                      Erreur::PointCountNegative);
    }

    // "*" names no law and passes; the task then refuses what it cannot do without one.
    parameters.law.code = law_code_from_name(parameters.law.name);
    if (parameters.law.code == LawCode::kUnknown && parameters.law.name != "*")
        throw unknown_law(parameters.law.name);
}

bool load_parameter_file(int loadType, const std::string& path, RunRecord& record) {
    switch (loadType) {
        case 1: load_parameter_file_1(path, record.emplace<LoadType1Parameters>()); return true;
        case 2: load_parameter_file_2(path, record.emplace<LoadType2Parameters>()); return true;
        case 3: load_parameter_file_3(path, record.emplace<LoadType3Parameters>()); return true;
        case 4: load_parameter_file_4(path, record.emplace<LoadType4Parameters>()); return true;
        case 5: load_parameter_file_5(path, record.emplace<LoadType5Parameters>()); return true;
        default: return false;
    }
}

}  // namespace evstat
