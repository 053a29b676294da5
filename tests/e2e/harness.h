// Runs the built engine as the front end does: a fresh working directory (whose name
// holds a blank, so the path arrives as two words), a ParameterFile written there,
// the engine run on it, and the files it leaves read back byte for byte.
//
// Compiled with EVSTAT_WINE, the same tests run the Windows build under Wine: the engine
// sees the directory as "Z:\\..." with backslashes, the numbers it writes have exponents of
// three digits, and the lines of the files it writes end in "\r\n" (read() checks that
// every line does, then hands the test the text with plain line ends).
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace evstat::e2e {

namespace fs = std::filesystem;

#ifdef EVSTAT_WINE
constexpr bool kWindowsEngine = true;
#else
constexpr bool kWindowsEngine = false;
#endif

// The line end of a text file as the engine's platform writes it.
inline const std::string kLineEnd = kWindowsEngine ? "\r\n" : "\n";

// A host path as the engine names it: itself, or under Wine the drive Z: (the host's root)
// followed by the path with backslashes.
inline std::string engine_path(const fs::path& hostPath) {
    std::string text = hostPath.string();
    if (!kWindowsEngine) return text;
    for (char& c : text)
        if (c == '/') c = '\\';
    return "Z:" + text;
}

// Text read in text mode from a file the Windows build wrote: every "\r\n" becomes "\n";
// a line end without its "\r" fails the test. Elsewhere the bytes as they are.
inline std::string text_mode(const std::string& bytes, const std::string& what) {
    if (!kWindowsEngine) return bytes;
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            ADD_FAILURE() << what << ": a line end without its carriage return at byte " << i
                          << " of\n" << bytes;
        text += bytes[i];
    }
    return text;
}

inline std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

struct RunOutput {
    std::string standardOutput;
    std::string standardError;
    int status = -1;
};

class WorkDir {
public:
    WorkDir() {
        std::string pattern = (fs::temp_directory_path() / "evstat_run XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) std::abort();
        path_ = buffer.data();
    }
    ~WorkDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    // The directory as a ParameterFile names it: absolute, ending with the separator.
    std::string dir() const { return engine_path(path_) + (kWindowsEngine ? "\\" : "/"); }
    std::string host_dir() const { return path_.string() + "/"; }
    // A file of the directory: as the test opens it, and as the engine names it.
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string engine_file(const std::string& name) const { return engine_path(path_ / name); }

    void write(const std::string& name, const std::string& content) const {
        std::ofstream out(file(name), std::ios::binary);
        out << content;
    }
    // Lines joined with "\n", each ended.
    void write_lines(const std::string& name, const std::vector<std::string>& lines) const {
        std::string content;
        for (const std::string& line : lines) content += line + "\n";
        write(name, content);
    }
    // The text of a file the engine wrote (see text_mode); bytes() as they are on disk.
    std::string read(const std::string& name) const { return text_mode(bytes(name), name); }
    std::string bytes(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return fs::exists(path_ / name); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the engine with the ParameterFile's path split at its blanks, then the LoadType.
    // The engine starts in the working directory, as a front end starts it.
    RunOutput run(const std::string& parameterFile, const std::string& loadType) const {
        std::vector<std::string> arguments = split_words(engine_file(parameterFile));
        arguments.push_back(loadType);
        return run_arguments(arguments);
    }
    // The same run with the generator seeded with `seed`: the draws are those of any run
    // whose clock gave that seed.
    RunOutput run_seeded(const std::string& parameterFile, const std::string& loadType,
                         unsigned seed) const {
        std::vector<std::string> arguments = split_words(engine_file(parameterFile));
        arguments.push_back(loadType);
        arguments.insert(arguments.begin(), std::to_string(seed));
        return run_arguments(arguments, EVSTAT_SEEDED_BINARY);
    }
    // viaWine: the binary is a Windows program, started by Wine.
    RunOutput run_arguments(const std::vector<std::string>& arguments,
                            const char* binary = EVSTAT_BINARY,
                            bool viaWine = kWindowsEngine) const {
        if (!viaWine) keep_run(arguments, std::string(binary) == EVSTAT_SEEDED_BINARY);
        // The streams go to unnamed temporary files, read once the engine has ended: a
        // process the engine leaves behind (the Wine server) may hold them open longer.
        std::FILE* outputFile = std::tmpfile();
        std::FILE* errorFile = std::tmpfile();
        if (outputFile == nullptr || errorFile == nullptr) std::abort();
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(path_.c_str()) != 0) ::_exit(126);
            ::dup2(::fileno(outputFile), 1);
            ::dup2(::fileno(errorFile), 2);
            // Under Wine the program is "wine" and the engine its first argument; Wine keeps
            // its state in the test build's own prefix and prints nothing of its own.
#ifdef EVSTAT_WINEPREFIX
            if (viaWine) ::setenv("WINEPREFIX", EVSTAT_WINEPREFIX, 1);
#endif
            if (viaWine) ::setenv("WINEDEBUG", "-all", 1);
            std::vector<std::string> words;
            if (viaWine) words.push_back("wine");
            words.push_back(binary);
            words.insert(words.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        RunOutput output;
        output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        output.standardOutput = contents(outputFile);
        output.standardError = contents(errorFile);
        if (viaWine) {
            output.standardOutput = text_mode(output.standardOutput, "standard output");
            output.standardError = text_mode(output.standardError, "standard error");
        }
        return output;
    }

private:
    // With EVSTAT_KEEP_RUNS naming a folder, each run is kept there before it starts, for
    // tools/compare_engines.sh: a folder per run holding "args" (the command line, a word a
    // line), "seed" for a seeded run, and "dir" (the working directory as the engine finds
    // it), the directory's path written "@DIR@", or "@DIR1@" and "@DIR2@" where its blank
    // splits it over two words.
    void keep_run(std::vector<std::string> arguments, bool seeded) const {
        const char* folder = std::getenv("EVSTAT_KEEP_RUNS");
        if (folder == nullptr || *folder == '\0') return;
        static int runs = 0;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test == nullptr ? "run" : std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name)
            if (c == '/') c = '_';
        char number[16];
        std::snprintf(number, sizeof number, ".%04d", ++runs);
        const fs::path kept = fs::path(folder) / (name + number);
        fs::create_directories(kept / "dir");
        std::string words;
        if (seeded && !arguments.empty()) {
            write_file(kept / "seed", arguments.front() + "\n");
            arguments.erase(arguments.begin());
        }
        for (const std::string& word : arguments) words += word + "\n";
        write_file(kept / "args", placeholders(words));
        for (const auto& entry : fs::recursive_directory_iterator(path_)) {
            const fs::path target = kept / "dir" / fs::relative(entry.path(), path_);
            if (entry.is_directory()) {
                fs::create_directories(target);
            } else if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                write_file(target, placeholders(std::string((std::istreambuf_iterator<char>(in)),
                                                            std::istreambuf_iterator<char>())));
            }
        }
    }
    std::string placeholders(std::string text) const {
        const std::string path = path_.string();
        std::string split = path;
        for (char& c : split)
            if (c == ' ') c = '\n';
        return replace_all(replace_all(text, split, "@DIR1@\n@DIR2@"), path, "@DIR@");
    }
    static void write_file(const fs::path& path, const std::string& content) {
        std::ofstream out(path, std::ios::binary);
        out << content;
    }
    // Everything written to the file, which is then closed.
    static std::string contents(std::FILE* file) {
        std::string text;
        std::rewind(file);
        char buffer[4096];
        for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
        std::fclose(file);
        return text;
    }
    static std::vector<std::string> split_words(const std::string& path) {
        std::vector<std::string> words;
        std::istringstream in(path);
        std::string word;
        while (in >> word) words.push_back(word);
        return words;
    }
    fs::path path_;
};

// Text in which every "%24.17e" number has an exponent of three digits: a two-digit
// exponent gains a leading 0, and a positive number gives up the blank that padded it to 24.
inline std::string three_digit_exponents(const std::string& text) {
    static const std::regex number(R"((-?)([0-9]\.[0-9]{17}e[-+])([0-9]{2})(?![0-9]))");
    std::string out;
    std::size_t copied = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        std::size_t begin = static_cast<std::size_t>(m.position(0));
        std::string before = text.substr(copied, begin - copied);
        if (m[1].length() == 0 && !before.empty() && before.back() == ' ') before.pop_back();
        out += before + m[1].str() + m[2].str() + "0" + m[3].str();
        copied = begin + static_cast<std::size_t>(m.length(0));
    }
    return out + text.substr(copied);
}

// "%24.17e" of a value, as the engine writes it (three exponent digits on Windows).
inline std::string formatted(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%24.17e", value);
    return kWindowsEngine ? three_digit_exponents(buffer) : std::string(buffer);
}

// Where the text a run wrote and the text a test expects part: "" when they agree. The
// Linux build must match byte for byte. The Windows build's run-time library differs
// from the Linux one in the last digits of exp, log and pow, so under Wine the texts
// agree when they hold the same words and every number that differs is within
// `windowsRelative` of the expected one.
inline std::string difference(const std::string& written, const std::string& expected,
                              double windowsRelative) {
    if (written == expected) return {};
    if (!kWindowsEngine) {
        std::size_t i = 0;
        while (i < written.size() && i < expected.size() && written[i] == expected[i]) ++i;
        return "differs from byte " + std::to_string(i);
    }
    std::istringstream a(written), b(expected);
    std::string x, y;
    for (int word = 1;; ++word) {
        const bool more = static_cast<bool>(a >> x);
        if (more != static_cast<bool>(b >> y)) return "word " + std::to_string(word) + ": one text ends";
        if (!more) return {};
        if (x == y) continue;
        char* endX = nullptr;
        char* endY = nullptr;
        const double u = std::strtod(x.c_str(), &endX);
        const double v = std::strtod(y.c_str(), &endY);
        const bool numbers = *endX == '\0' && *endY == '\0';
        if (!numbers || !(std::fabs(u - v) <= windowsRelative * std::fabs(v)))
            return "word " + std::to_string(word) + ": '" + x + "' instead of '" + y + "'";
    }
}

// The bytes of a message given as UTF-8 text, in Windows-1252 (accented Latin letters only).
inline std::string cp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC3 && i + 1 < utf8.size()) {
            out += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace evstat::e2e
