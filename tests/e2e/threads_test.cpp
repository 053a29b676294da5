// Every study that resamples or reads the numbered data files (LoadType 2), run by the
// seeded engine with 1, 2, 3 and 8 threads: the exit code, the standard error and every
// file the run leaves are the same bytes whatever the number of threads, a bad numbered
// file included (the first bad file in order is the one reported).
#include <map>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int kResamples = 40;
constexpr int kNumberedFiles = 6;
constexpr int kValuesPerFile = 40;
constexpr unsigned kSeed = 20261209;

struct Case {
    int task;
    Lines laws;
    int version;                // the ET version: 1 asymptotic, 2 differences, 3 percentiles
    std::string method = "HW";  // tasks 38 to 46
    // A numbered file that holds a word, and so does the one after the next; negative: two
    // such files that hold a value below 0 instead (the test of the file fails, not its reading).
    int badFile = 0;
};

// Positive values of a skewed law, a different series for each seed.
std::string values_text(int count, int seed) {
    std::string text;
    unsigned state = static_cast<unsigned>(seed) * 2654435761u + 12345u;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        const double u = (static_cast<double>(state >> 8) + 0.5) / 16777216.0;
        text += formatted(1.0 + 3.0 * -std::log(u)) + "\n";
    }
    return text;
}

std::string numbered(int i) {
    return i == 1 ? "Donnees.txt" : "Donnees" + std::to_string(i) + ".txt";
}

// The run of the case with the threads; every file of the directory afterwards, then the
// exit code and standard error, the directory's path written "@DIR@".
std::map<std::string, std::string> run_case(const Case& c, int threads) {
    WorkDir w;
    w.write("serie.txt", values_text(65, 0));
    for (int i = 1; i <= kNumberedFiles; ++i) {
        const int bad = std::abs(c.badFile);
        const bool spoilt = bad != 0 && (i == bad || i == bad + 2);
        w.write(numbered(i), !spoilt         ? values_text(kValuesPerFile, i)
                             : c.badFile > 0 ? "1.5\nvingt\n"
                                             : values_text(kValuesPerFile, i) + "-1.0\n");
    }
    Lines lines = {w.dir(), "serie.txt", std::to_string(c.task), w.dir() + "Result1.txt"};
    lines.insert(lines.end(), c.laws.begin(), c.laws.end());
    lines.insert(lines.end(), {"10", "0.05", "10", "12", std::to_string(c.version),
                               std::to_string(kResamples), "0.01"});
    if (c.task >= 38) lines.push_back(c.method);
    w.write_lines("Tmp1.txt", lines);
    ::setenv("EVSTAT_THREADS", std::to_string(threads).c_str(), 1);
    const RunOutput out = w.run_seeded("Tmp1.txt", "2", kSeed);
    ::unsetenv("EVSTAT_THREADS");
    // The directory as the engine names it (a drive path under Wine) and as this host does.
    const std::string engineDir = w.dir().substr(0, w.dir().size() - 1);
    const std::string hostDir = w.host_dir().substr(0, w.host_dir().size() - 1);
    const auto anonymous = [&](const std::string& text) {
        return replace_all(replace_all(text, engineDir, "@DIR@"), hostDir, "@DIR@");
    };
    std::map<std::string, std::string> files;
    for (const std::string& name : w.files()) files[name] = anonymous(w.bytes(name));
    files["(status)"] = std::to_string(out.status);
    files["(standard error)"] = anonymous(out.standardError);
    return files;
}

TEST(Threads, EveryResamplingAndNumberedFileStudyWritesTheSameBytes) {
    // clang-format off
    const std::vector<Case> cases = {
        {11, {"Normale"}, 1},       {11, {"GPD"}, 1},           {12, {"Student"}, 1},
        {12, {"Weibull"}, 1},       {12, {"Gamma"}, 1, "HW", 3}, {13, {"GPD"}, 1},
        {14, {"GPD"}, 1},           {14, {"Exponentielle"}, 1}, {14, {"GPD"}, 1, "HW", 2},
        {15, {"GPD"}, 1},           {16, {"Normale"}, 1},       {17, {"Weibull"}, 2},
        {18, {"Lognormale"}, 3},    {17, {"Normale"}, 2, "HW", 3},
        {19, {"Normale", "Weibull"}, 2}, {20, {"Gamma", "GPD"}, 3},
        {21, {"Exponentielle"}, 2}, {22, {"Normale"}, 2},       {23, {"Weibull"}, 3},
        {24, {"Lognormale"}, 2},    {37, {"Normale"}, 1},       {37, {"Weibull"}, 1, "HW", 4},
        {37, {"Weibull"}, 1, "HW", -2}, {40, {"Weibull"}, 1, "HW", -3},
        {38, {"Normale"}, 2},       {39, {"Weibull"}, 3, "Zipf"}, {40, {"Exponentielle"}, 1, "Hill"},
        {40, {"Normale"}, 1, "HW", 2}, {41, {"Normale", "Gamma"}, 2, "HillG"},
        {42, {"Weibull"}, 3, "HillG"}, {43, {"Lognormale"}, 2, "Zipf"},
        {44, {"Normale"}, 2},       {45, {"Exponentielle"}, 3, "HW"}, {46, {"Weibull"}, 2, "Hill"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string why = "task " + std::to_string(c.task) + " " + c.laws.front() +
                                " version " + std::to_string(c.version) + " " + c.method +
                                " bad file " + std::to_string(c.badFile);
        const auto one = run_case(c, 1);
        EXPECT_EQ(one.at("(status)"), c.badFile == 0 ? "0" : "1")
            << why << one.at("(standard error)");
        for (const int threads : {2, 3, 8}) {
            const auto several = run_case(c, threads);
            for (const auto& [name, bytes] : one)
                EXPECT_EQ(several.count(name) ? several.at(name) : "(none)", bytes)
                    << why << ", " << name << ", " << threads << " threads";
            EXPECT_EQ(several.size(), one.size()) << why << ", " << threads << " threads";
        }
    }
}

}  // namespace
}  // namespace evstat::e2e
