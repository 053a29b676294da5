// The file layouts the front end reads: "%24.17e" widths, the tab of a pair, the
// missing last line end of a value column; reading series back; the grid; result numbers.
#include "driver/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "records/errors.h"

namespace evstat {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "evstat_files_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    fs::path dir_;
};

TEST_F(FilesTest, ValueAndPairWidths) {
    const Series values = {1.5, -2.5e-300, 1e100};
    Sample s;
    for (const double v : values) s.push_back(static_cast<double>(s.size() + 1), v);
    write_values(RunFiles{}, values, path("v.txt"));
    // Two-digit exponents pad one blank, three-digit ones none; a negative value
    // takes one character more.
    EXPECT_EQ(read("v.txt"),
              " 1.50000000000000000e+00\n"
              "-2.49999999999999998e-300\n"
              "1.00000000000000002e+100");
    write_pairs(RunFiles{}, s, path("p.txt"));
    const std::string pairs = read("p.txt");
    EXPECT_EQ(pairs.substr(0, 50), " 1.00000000000000000e+00\t 1.50000000000000000e+00\n");
    EXPECT_EQ(pairs.back(), '\n');
}

TEST_F(FilesTest, EmptyAndSinglePointWrites) {
    write("keep.txt", "old");
    write_values(RunFiles{}, Series{}, path("keep.txt"));
    write_pairs(RunFiles{}, Sample{}, path("keep.txt"));
    EXPECT_EQ(read("keep.txt"), "old");
    write_values(RunFiles{}, Series{2.0}, path("one.txt"));
    EXPECT_EQ(read("one.txt"), " 2.00000000000000000e+00");
}

TEST_F(FilesTest, ReadBackGivesSameValues) {
    Series s;
    for (int i = 1; i <= 5; ++i) s.push_back(std::sqrt(i) * 1e-3);
    write_values(RunFiles{}, s, path("s.txt"));
    Series back = {7.0};  // replaced
    read_series(path("s.txt"), back);
    EXPECT_EQ(back, s);
}

// A data file is finite numbers separated by white space, nothing else: anything else,
// or no number at all, is refused (67); a name that is not a readable file, 3.
TEST_F(FilesTest, ReadingTakesWholeFilesOfNumbersOnly) {
    constexpr int kRead = -1;
    struct Case {
        std::string text;
        std::vector<double> values;
        int code;
    };
    const std::vector<Case> cases = {
        {"1\n2\n3\n", {1, 2, 3}, kRead},
        {"1\r\n2\r\n3\r\n", {1, 2, 3}, kRead},
        {"1 2\t3", {1, 2, 3}, kRead},
        {"-1.5e2\n+.5\n", {-150, 0.5}, kRead},
        {"", {}, 67},
        {"  \n\n", {}, 67},
        {"1\n2\nabc\n4\n", {}, 67},
        {"valeurs\n1\n2\n", {}, 67},
        {"1\nnan\n", {}, 67},
        {"1\ninf\n", {}, 67},
        {"1e999\n", {}, 67},
        {"1.5abc\n", {}, 67},
        {"1,5\n", {}, 67},
        {std::string("1\n\0\n", 4), {}, 67},
    };
    auto code_of_reading = [](Series& s, const std::string& name) {
        try {
            read_series(name, s);
        } catch (Erreur e) {
            return static_cast<int>(e);
        }
        return kRead;
    };
    for (const Case& c : cases) {
        write("d.txt", c.text);
        Series s;
        EXPECT_EQ(code_of_reading(s, path("d.txt")), c.code) << c.text;
        if (c.code != kRead) continue;
        EXPECT_EQ(s, c.values) << c.text;
    }
    for (const std::string& name : {path("absent.txt"), dir_.string(), std::string("/dev/null")}) {
        Series none;
        EXPECT_EQ(code_of_reading(none, name), 3) << name;
    }
    write("a.txt", "0.25\n0.75");
    Sample abscissas;
    read_abscissas(abscissas, path("a.txt"));
    ASSERT_EQ(abscissas.size(), 2);
    EXPECT_EQ(abscissas.x_at(2), 0.75);
    EXPECT_EQ(abscissas.y_at(2), 0.0);
}

// The words a data file may hold: an optional sign, then what the C library's strtod reads
// whole and finite (decimal or hexadecimal, underflow to 0 or a subnormal included), with
// its very double; every other word is refused.
TEST(DataFileWords, AcceptedExactlyAsTheCLibraryReadsThem) {
    const std::string longZeros = "0." + std::string(997, '0') + "1";  // 1000 characters, 1e-998
    const std::string longDigits = "0." + std::string(120, '3');
    const std::vector<std::string> accepted = {
        "1", "-1", "+1", "1e5", "1E5", "1e+5", "1e-5", ".5", "5.", "+.5", "-.5", "+5.",
        "00012", "-0", "0.1", "9007199254740993", "2.2250738585072011e-308", "4.9e-324",
        "1e-400", "-1e-400", "1.7976931348623157e308", "0x1p3", "0X1.8P1", "-0x10", "+0x.8p1",
        "0x1p-1074", longZeros, longDigits};
    for (const std::string& word : accepted) {
        double value = -7.0;
        EXPECT_TRUE(parse_finite_number(word, value)) << word;
        const double expected = std::strtod(word.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << word;
    }
    double value = 0.0;
    EXPECT_TRUE(parse_finite_number("0X1.8P1", value));
    EXPECT_EQ(value, 3.0);
    EXPECT_TRUE(parse_finite_number("+.5", value));
    EXPECT_EQ(value, 0.5);
    const std::vector<std::string> refused = {
        "+", "-", ".", "+-1", "-+1", "++1", "--1", "e5", "1e", "1e+", "1.5.2", "1,5",
        "nan", "NaN", "-nan", "nan(1)", "inf", "+inf", "-Infinity", "1e999", "-1e999",
        "0x", "0x1.8p", "0x1p99999", "1_000", "1d5", "1e5x", "\xef\xbc\x91", "0b1"};
    for (const std::string& word : refused) EXPECT_FALSE(parse_finite_number(word, value)) << word;
}

// The file read in blocks of any size gives what it gives read whole: the values, or the
// refusal with the same detail (the line of the word, the word as far as it is shown).
TEST_F(FilesTest, BlocksOfAnySizeReadAsTheWholeFile) {
    const std::string longWord(1001, '1');
    const std::vector<std::string> texts = {
        "1.5 -2e3\n\n+.25\t0x1p4\r\n7", "12345 678\n9", "1\n2\nabc\n4\n", "1 2\n3 " + longWord,
        "0." + std::string(997, '0') + "1\n2", "\n\n  \n"};
    for (const std::string& text : texts) {
        write("b.txt", text);
        auto outcome = [&](std::size_t block) {
            Series values;
            try {
                read_series(path("b.txt"), block, values);
            } catch (Erreur e) {
                return std::make_pair(static_cast<int>(e), error_line(e));
            }
            std::string joined;
            for (const double v : values) joined += format_number(v);
            return std::make_pair(-1, joined);
        };
        const auto whole = outcome(1 << 20);
        for (const std::size_t block : {1, 2, 3, 7, 64})
            EXPECT_EQ(outcome(block), whole) << text.substr(0, 20) << " in blocks of " << block;
    }
}

TEST(Grid, StepsAndDegenerateRanges) {
    Sample g;
    make_grid(0.0, 1.0, 4, g);
    ASSERT_EQ(g.size(), 5);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(g.x_at(i), 0.25 * (i - 1));
    struct Case {
        double a, b;
        int m;
        int points;
    };
    const std::vector<Case> cases = {
        {3, 3, 10, 1},   // zero width
        {3, 3, 0, 1},    // zero width and no steps
        {0, 1, 0, 1},    // no steps: the step is infinite
        {1, 0, 4, 0},    // reversed range
        {0, 1, 2000, 2001},
        {0, 1e-300, 3, 4},
        {std::nan(""), 1, 3, 0},
    };
    for (const Case& c : cases) {
        Sample s;
        make_grid(c.a, c.b, c.m, s);
        EXPECT_EQ(s.size(), c.points) << c.a << " " << c.b << " " << c.m;
    }
}

TEST(ResultNumber, FromTheResultFileName) {
    EXPECT_EQ(result_number("/w/", "/w/Result12.txt"), 12);
    EXPECT_EQ(result_number("/w/", "/w/Result1.txt"), 1);
    EXPECT_EQ(result_number("/w/", "/w/Res.txt"), 0);
    EXPECT_EQ(result_number("/w/", "*"), 0);
    EXPECT_EQ(result_number("/w/", "/w/Resultat.txt"), 0);  // not digits: atoi gives 0
    EXPECT_EQ(numbered_data_file("/w/", 1), "/w/Donnees.txt");
    EXPECT_EQ(numbered_data_file("/w/", 12), "/w/Donnees12.txt");
    EXPECT_EQ(curve_parameter_file("/w/", 13), "/w/Tmp13.txt");
    EXPECT_EQ(curve_result_file("/w/", 13), "/w/Result13.txt");
}

}  // namespace
}  // namespace evstat
