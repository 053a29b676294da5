#include "driver/files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "driver/work_bounds.h"
#include "laws/evaluate.h"
#include "records/errors.h"

namespace evstat {

namespace {
constexpr std::size_t kReadChunk = 1 << 16;     // bytes read at a time
constexpr std::size_t kLongestNumber = 1000;    // characters of one number at most
constexpr std::size_t kLongestWordShown = 40;   // characters of a refused word in the detail

[[noreturn]] void write_failed(const std::string& name) {
    throw with_detail(Erreur::ResultNotWritable, "\xc3\xa9" "criture impossible : " + name);
}

void checked(const OutputFile& out, int printed) {
    if (printed < 0) write_failed(out.name());
}

bool is_white(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The number a word spells, when it is one, whole and finite.
bool finite_number(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value);
}

[[noreturn]] void not_numeric(const std::string& name, long long line, const std::string& word) {
    const std::string shown =
        word.size() > kLongestWordShown ? word.substr(0, kLongestWordShown) + "..." : word;
    throw with_detail(Erreur::DataNotNumeric,
                      name + ", ligne " + std::to_string(line) + " : \"" + shown + "\"");
}

// Every number of a data file, in order, handed to `append`; the file is read to the size
// it had when it was opened. A refused file stops the run, so the points appended before
// the fault are never used.
template <typename Append>
void read_numbers(const std::string& name, Append append) {
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        throw with_detail(Erreur::FileNotFound, "pas un fichier lisible : " + name);
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) throw with_detail(Erreur::FileNotFound, "lecture impossible : " + name);
    long long count = 0;
    std::string word;
    long long line = 1;
    auto finish_word = [&] {
        if (word.empty()) return;
        double value = 0.0;
        if (!finite_number(word, value)) not_numeric(name, line, word);
        if (count >= kMostSampleValues)
            throw with_detail(Erreur::InvalidLawParameters,
                              name + " : plus de " + std::to_string(kMostSampleValues) + " valeurs");
        ++count;
        append(value);
        word.clear();
    };
    try {
        std::vector<char> chunk(kReadChunk);
        long long left = static_cast<long long>(status.st_size);
        while (left > 0) {
            const std::size_t wanted = static_cast<std::size_t>(
                std::min<long long>(left, static_cast<long long>(chunk.size())));
            const std::size_t got = std::fread(chunk.data(), 1, wanted, file);
            if (got == 0) break;
            left -= static_cast<long long>(got);
            for (std::size_t i = 0; i < got; ++i) {
                const char c = chunk[i];
                if (is_white(c)) {
                    finish_word();
                    if (c == '\n') ++line;
                } else if (word.size() < kLongestNumber) {
                    word += c;
                } else {
                    not_numeric(name, line, word);
                }
            }
        }
        finish_word();
        if (std::ferror(file)) throw with_detail(Erreur::FileNotFound, "lecture impossible : " + name);
    } catch (...) {
        std::fclose(file);
        throw;
    }
    std::fclose(file);
    if (count == 0) throw with_detail(Erreur::DataNotNumeric, name + " : aucun nombre");
}
}  // namespace

void read_series(Sample& series, const std::string& name) {
    double count = 0.0;
    read_numbers(name, [&](double value) { series.push_back(++count, value); });
}

void read_abscissas(Sample& abscissas, const std::string& name) {
    read_numbers(name, [&](double value) { abscissas.push_back(value, 0.0); });
}

void write_values(const RunFiles& files, const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(files, name, "w");
    const int n = series.size();
    int i = 0;
    for (const Point& p : series) {
        if (++i < n)
            print_value(out, p.y);
        else
            checked(out, std::fputs(format_number(p.y).c_str(), out.get()));
    }
}

void write_pairs(const RunFiles& files, const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(files, name, "w");
    for (const Point& p : series) print_pair(out, p.x, p.y);
}

std::string format_number(double value) {
    constexpr std::size_t kWidth = 24;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", value);
    std::string text = buffer;
#ifdef _WIN32
    // The run-time library writes two or three digits depending on its version and on the
    // environment: widen a two-digit exponent ("e+05" -> "e+005").
    constexpr std::size_t kExponentDigits = 3;
    const std::size_t e = text.find('e');
    if (e != std::string::npos && e + 2 < text.size()) {
        const std::size_t digits = text.size() - (e + 2);
        if (digits < kExponentDigits) text.insert(e + 2, kExponentDigits - digits, '0');
    }
#endif
    if (text.size() < kWidth) text.insert(0, kWidth - text.size(), ' ');
    return text;
}

void print_value(OutputFile& out, double value) {
    checked(out, std::fprintf(out.get(), "%s\n", format_number(value).c_str()));
}

void print_pair(OutputFile& out, double x, double y) {
    checked(out, std::fprintf(out.get(), "%s\t%s\n", format_number(x).c_str(),
                              format_number(y).c_str()));
}

void print_text(OutputFile& out, const std::string& text) {
    checked(out, std::fprintf(out.get(), "%s\n", text.c_str()));
}

void print_int(OutputFile& out, int value) {
    checked(out, std::fprintf(out.get(), "%d\n", value));
}

void print_bytes(OutputFile& out, std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size())
        write_failed(out.name());
}

void make_grid(double a, double b, int m, Sample& grid) {
    require_grid_within_bounds(m);
    const double step = (b - a) / m;
    if (!(step > 0.0) || !(a + step > a)) {
        // No step can move the abscissa past b: one point, when the range holds one.
        if (a <= b) grid.push_back(a, 0.0);
        return;
    }
    // The sum of steps reaches b after m or m + 1 points; the bound only stops a loop
    // whose sums stall.
    const long long most_points = static_cast<long long>(m) + 2;
    long long points = 0;
    for (double x = a; x <= b && points < most_points; x = x + step, ++points)
        grid.push_back(x, 0.0);
}

int result_number(const std::string& directory, const std::string& resultFile) {
    const long long length = static_cast<long long>(resultFile.size());
    const long long minimum = static_cast<long long>(directory.size()) + 11;  // "Result1.txt"
    if (length - minimum < 0) return 0;
    const std::size_t digits = static_cast<std::size_t>(length - minimum + 1);
    const std::size_t first = resultFile.size() - 4 - digits;
    const std::string number = resultFile.substr(first, digits);
    const long long value = std::strtoll(number.c_str(), nullptr, 10);
    // Read as atoi reads it, kept clear of the ends of int so the curve numbers after it fit.
    constexpr long long kRoom = 1000;
    if (value > INT_MAX - kRoom) return INT_MAX - kRoom;
    if (value < INT_MIN + kRoom) return INT_MIN + kRoom;
    return static_cast<int>(value);
}

namespace {
// The LoadType 1 ParameterFile of curve k: the law, three parameter lines (the values
// given, then "*" for each one missing), the range and the point count.
void write_curve_parameters(const RunFiles& files, const CommonFrame& frame, int k, int curveTask,
                            const std::string& lawName, const ValueList& parameters, double lower,
                            double upper, int points) {
    OutputFile out(files, curve_parameter_file(frame.directory, k), "w");
    if (!out.is_open()) return;
    print_text(out, frame.directory);
    print_text(out, frame.dataFile);
    print_int(out, curveTask);
    print_text(out, curve_result_file(frame.directory, k));
    print_text(out, lawName);
    for (int position = 1; position <= 3; ++position) {
        if (position <= parameters.size())
            print_value(out, parameters.at(position));
        else
            print_text(out, "*");
    }
    print_value(out, lower);
    print_value(out, upper);
    print_int(out, points);
}
}  // namespace

void write_curve_pair(const RunFiles& files, const CommonFrame& frame, int& k, int curveTask,
                      const NamedLaw& law, const ValueList& parameters, double lower, double upper,
                      const Sample& grid) {
    ++k;
    write_curve_parameters(files, frame, k, curveTask, law.name, parameters, lower, upper,
                           kCurveSteps);
    Sample curve;
    const EvalMode mode = curveTask == kSurvivalCurveTask ? EvalMode::Survival : EvalMode::Density;
    evaluate_law(law.code, parameters, grid, mode, curve);
    write_pairs(files, curve, curve_result_file(frame.directory, k));
}

void write_table_curve_pair(const RunFiles& files, const CommonFrame& frame, int& k, int curveTask,
                            const std::string& lawName, const ValueList& parameters,
                            const Sample& curve) {
    ++k;
    const double lower = curve.empty() ? 0.0 : curve.begin()->x;
    const double upper = curve.empty() ? 0.0 : curve.rbegin()->x;
    write_curve_parameters(files, frame, k, curveTask, lawName, parameters, lower, upper,
                           curve.size());
    write_pairs(files, curve, curve_result_file(frame.directory, k));
}

OutputFile::OutputFile(const RunFiles& files, const std::string& name, const char* mode)
    : file_(nullptr), name_(name), failuresInFlight_(std::uncaught_exceptions()) {
    if (files.is_parameter_file(name))
        throw with_detail(Erreur::ResultNotWritable,
                          "le fichier de param\xc3\xa8tres de la course ne peut pas \xc3\xaatre remplac\xc3\xa9 : " + name);
    file_ = std::fopen(name.c_str(), mode);
    if (file_ == nullptr) write_failed(name);
}

void OutputFile::close() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    file_ = nullptr;
    const bool failed = std::ferror(file) != 0;
    if ((std::fclose(file) != 0 || failed) && std::uncaught_exceptions() == failuresInFlight_)
        write_failed(name_);
}

OutputFile::~OutputFile() noexcept(false) { close(); }

}  // namespace evstat
