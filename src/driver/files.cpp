#include "driver/files.h"

#include "laws/evaluate.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace evstat {

namespace {
// Reads every number of the file that "%le" reads, in order, until the end of the file
// or the first text that is not a number. White space after the last number adds nothing.
template <typename Append>
void read_numbers(const std::string& name, Append append) {
    std::ifstream in(name, std::ios::binary | std::ios::ate);
    if (!in) return;
    const std::streamoff size = in.tellg();
    if (size <= 0) return;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    in.read(text.data(), size);
    text.resize(static_cast<std::size_t>(in.gcount()));
    const char* cursor = text.c_str();
    const char* const end = cursor + text.size();
    while (cursor < end) {
        char* next = nullptr;
        const double value = std::strtod(cursor, &next);
        if (next == cursor) break;  // nothing converted: blank tail, a word, or a NUL byte
        append(value);
        cursor = next;
    }
}
}  // namespace

void read_series(Sample& series, const std::string& name) {
    double count = 0.0;
    read_numbers(name, [&](double value) { series.push_back(++count, value); });
}

void read_abscissas(Sample& abscissas, const std::string& name) {
    read_numbers(name, [&](double value) { abscissas.push_back(value, 0.0); });
}

void write_values(const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(name, "w");
    if (!out.is_open()) return;
    const int n = series.size();
    int i = 0;
    for (const Point& p : series) {
        if (++i < n)
            print_value(out.get(), p.y);
        else
            std::fputs(format_number(p.y).c_str(), out.get());
    }
}

void write_pairs(const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(name, "w");
    if (!out.is_open()) return;
    for (const Point& p : series) print_pair(out.get(), p.x, p.y);
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

void print_value(std::FILE* file, double value) {
    std::fprintf(file, "%s\n", format_number(value).c_str());
}

void print_pair(std::FILE* file, double x, double y) {
    std::fprintf(file, "%s\t%s\n", format_number(x).c_str(), format_number(y).c_str());
}

void print_text(std::FILE* file, const std::string& text) {
    std::fprintf(file, "%s\n", text.c_str());
}

void print_int(std::FILE* file, int value) { std::fprintf(file, "%d\n", value); }

void make_grid(double a, double b, int m, Sample& grid) {
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

std::string numbered_data_file(const std::string& directory, int i) {
    if (i <= 1) return directory + "Donnees.txt";
    return directory + "Donnees" + std::to_string(i) + ".txt";
}

std::string curve_parameter_file(const std::string& directory, int k) {
    return directory + "Tmp" + std::to_string(k) + ".txt";
}

std::string curve_result_file(const std::string& directory, int k) {
    return directory + "Result" + std::to_string(k) + ".txt";
}

void write_curve_pair(const std::string& directory, const std::string& dataFile, int& k,
                      int curveTask, const std::string& lawName, LawCode code,
                      const ValueList& parameters, double lower, double upper, const Sample& grid) {
    ++k;
    {
        OutputFile out(curve_parameter_file(directory, k), "w");
        if (out.is_open()) {
            print_text(out.get(), directory);
            print_text(out.get(), dataFile);
            print_int(out.get(), curveTask);
            print_text(out.get(), curve_result_file(directory, k));
            print_text(out.get(), lawName);
            // Three parameter lines: the values given, then "*" for each one missing.
            for (int position = 1; position <= 3; ++position) {
                if (position <= parameters.size())
                    print_value(out.get(), parameters.at(position));
                else
                    print_text(out.get(), "*");
            }
            print_value(out.get(), lower);
            print_value(out.get(), upper);
            print_int(out.get(), kCurveSteps);
        }
    }
    Sample curve;
    const EvalMode mode = curveTask == kSurvivalCurveTask ? EvalMode::Survival : EvalMode::Density;
    evaluate_law(curve, code, grid, parameters, mode, 0);
    write_pairs(curve, curve_result_file(directory, k));
}

OutputFile::OutputFile(const std::string& name, const char* mode)
    : file_(std::fopen(name.c_str(), mode)) {}

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

}  // namespace evstat
