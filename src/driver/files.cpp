#include "driver/files.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "driver/work_bounds.h"
#include "laws/evaluate.h"
#include "records/errors.h"

namespace evstat {

namespace {
// Bytes read at a time: a data file up to this size is read whole.
constexpr std::size_t kReadBlock = std::size_t{1} << 26;
constexpr std::size_t kLongestNumber = 1000;    // characters of one number at most
constexpr std::size_t kLongestWordShown = 40;   // characters of a refused word in the detail

[[noreturn]] void write_failed(const std::string& name) {
    throw with_detail(Erreur::ResultNotWritable, "\xc3\xa9" "criture impossible : " + name);
}

void checked(const OutputFile& out, int printed) {
    if (printed < 0) write_failed(out.name());
}

// White space as the C locale's isspace has it.
constexpr std::array<bool, 256> kWhite = [] {
    std::array<bool, 256> white{};
    for (const unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) white[c] = true;
    return white;
}();

bool is_white(char c) { return kWhite[static_cast<unsigned char>(c)]; }

bool starts_decimal(const char* first, const char* last) {
    return first != last && ((*first >= '0' && *first <= '9') || *first == '.');
}

[[noreturn]] void not_numeric(const std::string& name, long long line, std::string_view word) {
    const std::string shown = word.size() > kLongestWordShown
                                  ? std::string(word.substr(0, kLongestWordShown)) + "..."
                                  : std::string(word);
    throw with_detail(Erreur::DataNotNumeric,
                      name + ", ligne " + std::to_string(line) + " : \"" + shown + "\"");
}

// The words of a data file, block after block, turned into values: a word cut by the end
// of a block is carried over to the next.
class NumberReader {
public:
    NumberReader(const std::string& name, Series& values) : name_(name), values_(values) {}

    // The block's words; the last (when the block does not end in white space and more
    // follows) is left in the returned carry.
    std::size_t scan(const char* block, std::size_t size, bool last) {
        std::size_t i = 0;
        for (;;) {
            while (i < size && is_white(block[i])) line_ += block[i++] == '\n' ? 1 : 0;
            if (i == size) return size;
            const std::size_t start = i;
            while (i < size && !is_white(block[i])) {
                if (i - start == kLongestNumber)
                    not_numeric(name_, line_, {block + start, i - start});
                ++i;
            }
            if (i == size && !last) return start;
            take({block + start, i - start});
        }
    }

    void finish() const {
        if (values_.empty()) throw with_detail(Erreur::DataNotNumeric, name_ + " : aucun nombre");
    }

private:
    void take(std::string_view word) {
        double value = 0.0;
        if (!parse_finite_number(word, value)) not_numeric(name_, line_, word);
        if (static_cast<long long>(values_.size()) >= kMostSampleValues)
            throw with_detail(Erreur::InvalidLawParameters, name_ + " : plus de " +
                                                                std::to_string(kMostSampleValues) +
                                                                " valeurs");
        values_.push_back(value);
    }

    const std::string& name_;
    Series& values_;
    long long line_ = 1;
};

// The blocks of the file, to the size it had when it was opened: a file up to blockBytes
// bytes is read whole, in one read.
void read_blocks(std::FILE* file, long long size, std::size_t blockBytes, NumberReader& reader) {
    const long long block = static_cast<long long>(std::max<std::size_t>(blockBytes, 1));
    std::vector<char> buffer(static_cast<std::size_t>(std::min(size, block)) + kLongestNumber);
    std::size_t kept = 0;  // the carried word, at the start of the buffer
    long long left = size;
    while (left > 0) {
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<long long>(left, static_cast<long long>(buffer.size() - kept)));
        const std::size_t got = std::fread(buffer.data() + kept, 1, wanted, file);
        left -= static_cast<long long>(got);
        const bool last = got == 0 || left == 0;
        const std::size_t used = reader.scan(buffer.data(), kept + got, last);
        kept = kept + got - used;
        std::memmove(buffer.data(), buffer.data() + used, kept);
        if (got == 0) break;
    }
}

// Every number of a data file, in order, appended to `values`. A refused file stops the
// run, so the values appended before the fault are never used.
void read_numbers(const std::string& name, std::size_t blockBytes, Series& values) {
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        throw with_detail(Erreur::FileNotFound, "pas un fichier lisible : " + name);
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) throw with_detail(Erreur::FileNotFound, "lecture impossible : " + name);
    NumberReader reader(name, values);
    try {
        read_blocks(file, static_cast<long long>(status.st_size), blockBytes, reader);
        if (std::ferror(file)) throw with_detail(Erreur::FileNotFound, "lecture impossible : " + name);
    } catch (...) {
        std::fclose(file);
        throw;
    }
    std::fclose(file);
    reader.finish();
}
}  // namespace

bool parse_finite_number(std::string_view word, double& value) {
    const char* first = word.data();
    const char* const last = first + word.size();
    // The common forms by from_chars (correctly rounded, as strtod), which takes no plus
    // sign; everything else (hexadecimal, out of range, refused) as strtod reads it.
    if (first != last && *first == '+') ++first;
    const char* digits = first != last && *first == '-' && first == word.data() ? first + 1 : first;
    if (starts_decimal(digits, last)) {
        const auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc{} && end == last && std::isfinite(value)) return true;
    }
    const std::string text(word);
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

void read_series(const std::string& name, Series& series) {
    read_series(name, kReadBlock, series);
}

void read_series(const std::string& name, std::size_t blockBytes, Series& series) {
    series.clear();
    read_numbers(name, blockBytes, series);
}

void read_abscissas(Sample& abscissas, const std::string& name) {
    Series values;
    read_numbers(name, kReadBlock, values);
    for (const double value : values) abscissas.push_back(value, 0.0);
}

void write_values(const RunFiles& files, std::span<const double> series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(files, name, "w");
    for (const double value : series.first(series.size() - 1)) print_value(out, value);
    checked(out, std::fputs(format_number(series.back()).c_str(), out.get()));
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
