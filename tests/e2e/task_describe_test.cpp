// Task 5: the seven-line description of a data series, byte for byte.
#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

std::vector<std::string> describe_file(const WorkDir& w, const std::string& data) {
    return {w.dir(), data, "5", w.dir() + "Result1.txt", "*", "*", "*", "*", "0", "0", "0"};
}

TEST(TaskDescribe, SevenLinesOfAnUnsortedSeries) {
    WorkDir w;
    w.write("data.txt", "4\n1\n3\n2\n");
    w.write_lines("Tmp1.txt", describe_file(w, "data.txt"));
    w.run("Tmp1.txt", "1");
    // mean 2.5, variance 1.25 (divisor n), quartiles 1.75 and 3.25, median 2.5.
    const std::string expected = "non\n" + formatted(2.5) + "\nnon\n" + formatted(1.25) + "\n" +
                                 formatted(1.75) + "\n" + formatted(3.25) + "\n" + formatted(2.5) +
                                 "\n";
    EXPECT_EQ(w.read("Result1.txt"), expected);
    EXPECT_FALSE(w.exists("Erreur.txt"));
}

TEST(TaskDescribe, RealSeriesAgainstIndependentSummary) {
    // Port Pirie annual maximum sea levels (65 values). Mean and variance (divisor n)
    // computed with R: x <- scan("portpirie.txt"); mean(x); var(x) * 64 / 65.
    // Quartiles at the positions (n + 3)/4 = 17 and (3n + 1)/4 = 49, median at 33.
    WorkDir w;
    std::ifstream in(std::string(EVSTAT_SOURCE_DIR) + "/examples/portpirie.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    w.write("portpirie.txt", text);
    w.write_lines("Tmp3.txt", describe_file(w, "portpirie.txt"));
    w.run("Tmp3.txt", "1");
    std::istringstream lines(w.read("Result1.txt"));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0], "non");
    EXPECT_EQ(got[2], "non");
    std::vector<double> values;
    std::istringstream numbers(text);
    for (double v; numbers >> v;) values.push_back(v);
    std::sort(values.begin(), values.end());
    EXPECT_NEAR(std::stod(got[1]), 3.9806153846153847, 1e-14);
    EXPECT_NEAR(std::stod(got[3]), 0.056956544378698237, 1e-14);
    EXPECT_EQ(got[4], formatted(values[16]));
    EXPECT_EQ(got[5], formatted(values[48]));
    EXPECT_EQ(got[6], formatted(values[32]));
}

}  // namespace
}  // namespace evstat::e2e
