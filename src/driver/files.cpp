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
#include "records/errors.h"
#include "laws/evaluate.h"

namespace evstat {

namespace {
constexpr std::size_t kReadChunk = 1 << 16;     // bytes read at a time
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

void write_values(const Sample& series, const std::string& name) {
    if (series.empty()) return;
    OutputFile out(name, "w");
    const int n = series.size();
    int i = 0;
    for (const Point& p : series) {
        if (++i < n)
            print_value(out.get(), p.y);
        else
            checked(out.get(), std::fputs(format_number(p.y).c_str(), out.get()));
    }
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
    evaluate_law(curve, code, grid, parameters, mode, 0);
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
