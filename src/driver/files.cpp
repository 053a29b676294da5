#include "driver/files.h"

#include <sys/stat.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

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
#include "input/errors.h"
#include "laws/evaluate.h"

namespace evstat {

namespace {
// Bytes read at a time: a data file up to this size is read whole.
constexpr std::size_t kReadBlock = std::size_t{1} << 26;
constexpr std::size_t kLongestNumber = 1000;    // characters of one number at most
constexpr std::size_t kLongestWordShown = 40;   // characters of a refused word in the detail

// The files open for writing, so that a failed write can name its file.
std::vector<std::pair<std::FILE*, std::string>>& open_outputs() {
    static std::vector<std::pair<std::FILE*, std::string>> outputs;
    return outputs;
}

std::string name_of(std::FILE* file) {
    for (const auto& [open, name] : open_outputs())
        if (open == file) return name;
    return {};
}

[[noreturn]] void write_failed(const std::string& name) {
    throw with_detail(Erreur::ResultNotWritable, "\xc3\xa9" "criture impossible : " + name);
}

void checked(std::FILE* file, int printed) {
    if (printed < 0) write_failed(name_of(file));
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

void write_values(std::span<const double> series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(name, "w");
    for (const double value : series.first(series.size() - 1)) print_value(out.get(), value);
    checked(out.get(), std::fputs(format_number(series.back()).c_str(), out.get()));
}

void write_pairs(const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(name, "w");
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
    checked(file, std::fprintf(file, "%s\n", format_number(value).c_str()));
}

void print_pair(std::FILE* file, double x, double y) {
    checked(file, std::fprintf(file, "%s\t%s\n", format_number(x).c_str(),
                               format_number(y).c_str()));
}

void print_text(std::FILE* file, const std::string& text) {
    checked(file, std::fprintf(file, "%s\n", text.c_str()));
}

void print_int(std::FILE* file, int value) { checked(file, std::fprintf(file, "%d\n", value)); }

void print_bytes(std::FILE* file, std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) write_failed(name_of(file));
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

namespace {
// The LoadType 1 ParameterFile of curve k: the law, three parameter lines (the values
// given, then "*" for each one missing), the range and the point count.
void write_curve_parameters(const std::string& directory, const std::string& dataFile, int k,
                            int curveTask, const std::string& lawName, const ValueList& parameters,
                            double lower, double upper, int points) {
    OutputFile out(curve_parameter_file(directory, k), "w");
    if (!out.is_open()) return;
    print_text(out.get(), directory);
    print_text(out.get(), dataFile);
    print_int(out.get(), curveTask);
    print_text(out.get(), curve_result_file(directory, k));
    print_text(out.get(), lawName);
    for (int position = 1; position <= 3; ++position) {
        if (position <= parameters.size())
            print_value(out.get(), parameters.at(position));
        else
            print_text(out.get(), "*");
    }
    print_value(out.get(), lower);
    print_value(out.get(), upper);
    print_int(out.get(), points);
}
}  // namespace

void write_curve_pair(const std::string& directory, const std::string& dataFile, int& k,
                      int curveTask, const std::string& lawName, LawCode code,
                      const ValueList& parameters, double lower, double upper, const Sample& grid) {
    ++k;
    write_curve_parameters(directory, dataFile, k, curveTask, lawName, parameters, lower, upper,
                           kCurveSteps);
    Sample curve;
    const EvalMode mode = curveTask == kSurvivalCurveTask ? EvalMode::Survival : EvalMode::Density;
    evaluate_law(code, parameters, grid, mode, curve);
    write_pairs(curve, curve_result_file(directory, k));
}

namespace {
// The identity of a file whatever the name it goes by: its device and inode, or on Windows
// (whose stat leaves the inode 0) its volume's serial number and its index on the volume.
struct FileIdentity {
    unsigned long long volume = 0;
    unsigned long long index = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool identity_of(const std::string& name, FileIdentity& identity) {
#ifdef _WIN32
    const HANDLE handle = ::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(handle, &information) != 0;
    ::CloseHandle(handle);
    if (!known) return false;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                     information.nFileIndexLow;
#else
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0) return false;
    identity.volume = static_cast<unsigned long long>(status.st_dev);
    identity.index = static_cast<unsigned long long>(status.st_ino);
#endif
    return true;
}

// The identity of the run's ParameterFile; none when not set.
struct ProtectedFile {
    bool set = false;
    FileIdentity identity;
};
ProtectedFile& protected_file() {
    static ProtectedFile file;
    return file;
}
}  // namespace

void write_table_curve_pair(const std::string& directory, const std::string& dataFile, int& k,
                            int curveTask, const std::string& lawName, const ValueList& parameters,
                            const Sample& curve) {
    ++k;
    const double lower = curve.empty() ? 0.0 : curve.begin()->x;
    const double upper = curve.empty() ? 0.0 : curve.rbegin()->x;
    write_curve_parameters(directory, dataFile, k, curveTask, lawName, parameters, lower, upper,
                           curve.size());
    write_pairs(curve, curve_result_file(directory, k));
}

void protect_parameter_file(const std::string& path) {
    ProtectedFile& p = protected_file();
    p = ProtectedFile{};
    p.set = !path.empty() && identity_of(path, p.identity);
}

bool is_parameter_file(const std::string& name) {
    const ProtectedFile& p = protected_file();
    FileIdentity identity;
    return p.set && identity_of(name, identity) && identity == p.identity;
}

OutputFile::OutputFile(const std::string& name, const char* mode)
    : file_(nullptr), name_(name), failuresInFlight_(std::uncaught_exceptions()) {
    if (is_parameter_file(name))
        throw with_detail(Erreur::ResultNotWritable,
                          "le fichier de param\xc3\xa8tres de la course ne peut pas \xc3\xaatre remplac\xc3\xa9 : " + name);
    file_ = std::fopen(name.c_str(), mode);
    if (file_ == nullptr) write_failed(name);
    open_outputs().emplace_back(file_, name);
}

void OutputFile::close() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    file_ = nullptr;
    auto& outputs = open_outputs();
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if (it->first == file) {
            outputs.erase(it);
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    if ((std::fclose(file) != 0 || failed) && std::uncaught_exceptions() == failuresInFlight_)
        write_failed(name_);
}

OutputFile::~OutputFile() noexcept(false) { close(); }

}  // namespace evstat
