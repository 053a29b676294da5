// Every golden case of tests/golden/cases run by the seeded engine in a fresh directory:
// the exit code, the names of the files the directory then holds, and the bytes of every
// file the run wrote, as the case keeps them (tools/golden_cases.py says how).
#include <cinttypes>
#include <cmath>
#include <map>
#include <sstream>
#include <set>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

const fs::path kCases = fs::path(EVSTAT_SOURCE_DIR) / "tests" / "golden" / "cases";
const std::string kDigestSuffix = ".fnv1a";

// Byte for byte where the engine is built as the cases were made (optimised); elsewhere the
// numbers of a line may differ by this much relative, its words not at all.
#ifdef EVSTAT_GOLDEN_BYTES
constexpr bool kBytes = true;
#else
constexpr bool kBytes = false;
#endif
constexpr double kNumberTolerance = 1e-12;

bool same_number(const std::string& a, const std::string& b) {
    char* endA = nullptr;
    char* endB = nullptr;
    const double x = std::strtod(a.c_str(), &endA);
    const double y = std::strtod(b.c_str(), &endB);
    if (*endA != '\0' || *endB != '\0' || endA == a.c_str() || endB == b.c_str()) return false;
    return x == y || std::fabs(x - y) <= kNumberTolerance * std::fmax(std::fabs(x), std::fabs(y));
}

// Two lines agree: the same text, or, outside the byte-for-byte build, the same words and
// numbers within the tolerance.
bool same_line(const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (kBytes) return false;
    std::istringstream wordsA(a), wordsB(b);
    std::string x, y;
    while (wordsA >> x) {
        if (!(wordsB >> y) || (x != y && !same_number(x, y))) return false;
    }
    return !(wordsB >> y);
}

std::string file_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> files_of(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = file_bytes(entry.path());
    return files;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// "" when the texts agree, else the first line at which they part.
std::string first_difference(const std::string& written, const std::string& expected) {
    if (written == expected) return {};
    const std::vector<std::string> a = lines_of(written), b = lines_of(expected);
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && same_line(a[i], b[i])) ++i;
    if (i == a.size() && i == b.size()) return {};
    return "line " + std::to_string(i + 1) + ": '" + (i < a.size() ? a[i] : "(none)") + "' instead of '" +
           (i < b.size() ? b[i] : "(none)") + "'";
}

// The digest line of a large file: "fnv1a-64 <hash> <bytes> <lines>" (tools/golden_cases.py).
std::string digest_line(const std::string& text) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    char line[80];
    std::snprintf(line, sizeof line, "fnv1a-64 %016" PRIx64 " %zu %zu", hash, text.size(), lines_of(text).size());
    return line;
}

// A large file against its digest: "" when they agree, else its size and the first line kept
// with the digest at which it parts.
std::string digest_difference(const std::string& written, const std::string& kept) {
    const std::vector<std::string> keptLines = lines_of(kept);
    const std::string line = digest_line(written);
    if (line == keptLines.front()) return {};
    const std::vector<std::string> lines = lines_of(written);
    for (std::size_t i = 1; i < keptLines.size(); ++i) {
        const std::size_t tab = keptLines[i].find('\t');
        if (tab == std::string::npos) continue;
        const std::size_t number = std::stoul(keptLines[i].substr(0, tab));
        const std::string text = number <= lines.size() ? lines[number - 1] : "(none)";
        if (!same_line(text, keptLines[i].substr(tab + 1)))
            return "line " + std::to_string(number) + ": '" + text + "' instead of '" + keptLines[i].substr(tab + 1) + "'";
    }
    // Outside the byte-for-byte build the lines kept and the count of lines decide.
    std::istringstream keptDigest(keptLines.front());
    std::string word, count;
    while (keptDigest >> word) count = word;
    if (!kBytes && count == std::to_string(lines.size())) return {};
    return "'" + line + "' instead of '" + keptLines.front() + "', between the lines kept";
}

std::vector<std::string> case_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, TheRunWritesTheFilesOfItsCase) {
    const fs::path folder = kCases / GetParam();
    WorkDir w;
    const std::string dir = w.host_dir().substr(0, w.host_dir().size() - 1);
    const auto inputs = files_of(folder / "dir");
    for (const auto& [name, bytes] : inputs) w.write(name, replace_all(bytes, "@DIR@", dir));
    std::vector<std::string> arguments = {lines_of(file_bytes(folder / "seed")).front()};
    for (const std::string& word : lines_of(file_bytes(folder / "args"))) {
        if (word.empty()) continue;
        const std::size_t blank = dir.find(' ');
        arguments.push_back(replace_all(replace_all(replace_all(word, "@DIR1@", dir.substr(0, blank)), "@DIR2@",
                                                    dir.substr(blank + 1)),
                                        "@DIR@", dir));
    }
    const RunOutput out = w.run_arguments(arguments, EVSTAT_SEEDED_BINARY);
    EXPECT_EQ(std::to_string(out.status) + "\n", file_bytes(folder / "status")) << out.standardError;

    const auto expected = files_of(folder / "expected");
    std::set<std::string> names;
    for (const auto& [name, bytes] : inputs) names.insert(name);
    for (const auto& [name, bytes] : expected)
        names.insert(name.ends_with(kDigestSuffix) ? name.substr(0, name.size() - kDigestSuffix.size()) : name);
    EXPECT_EQ(w.files(), std::vector<std::string>(names.begin(), names.end()));
    for (const std::string& name : names) {
        if (!w.exists(name)) continue;
        const std::string written = replace_all(w.bytes(name), dir, "@DIR@");
        const auto whole = expected.find(name);
        const auto digest = expected.find(name + kDigestSuffix);
        const std::string difference =
            whole != expected.end()    ? first_difference(written, whole->second)
            : digest != expected.end() ? digest_difference(written, digest->second)
                                       : first_difference(written, inputs.at(name));
        EXPECT_EQ(difference, "") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(case_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace evstat::e2e
