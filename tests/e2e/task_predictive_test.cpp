// Task 27 (LoadType 4) as a front end runs it: the summary of a predictive sample, the
// sample in "Donnees.txt" and the further numbered files, for every law with a
// predictive law, and the codes of what cannot be drawn. The bytes of these runs with one
// seed are kept as golden cases (tests/golden); here, what holds whatever the draws.
#include <algorithm>
#include <cmath>

#include "e2e/harness.h"
#include "records/errors.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

struct Setting {
    std::string law;
    Lines prior;  // lines 6, 7, 8
    std::string size = "25";
    std::string count = "1";
    std::string low = "*";
    std::string high = "*";
    std::string data = "serie.txt";
};

// A run seeded from the clock.
RunOutput run_setting(const WorkDir& w, const Setting& s) {
    w.write_lines("Tmp1.txt", {w.dir(), s.data, "27", w.dir() + "Result1.txt", s.law, s.prior[0],
                               s.prior[1], s.prior[2], s.size, s.count, "10", s.low, s.high,
                               "unread", "unread"});
    for (const std::string& name : w.files())
        if (name.rfind("Donnees", 0) == 0 || name == "Result1.txt" || name == "Erreur.txt")
            std::filesystem::remove(w.file(name));
    return w.run("Tmp1.txt", "4");
}

std::vector<double> numbers(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    for (double v = 0; in >> v;) values.push_back(v);
    return values;
}

const std::string kSeaLevels = std::string(EVSTAT_SOURCE_DIR) + "/examples/portpirie.txt";

void copy_series(const WorkDir& w) {
    std::ifstream in(kSeaLevels);
    w.write("serie.txt", std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// Each law, one and three samples: the numbered files and nothing else, each sample sorted,
// of the size asked and above 0 (but for the normal law), and the summary of the first
// sample: -1.0 for the theoretical moments, then its mean, variance, quartiles and median.
TEST(PredictiveSamples, EveryLawWithOneAndThreeSamples) {
    WorkDir w;
    copy_series(w);
    const std::vector<Setting> rows = {
        {"Exponentielle", {"2", "3", "*"}},  {"Gamma", {"2", "0.5", "*"}},
        {"Normale", {"3", "1", "*"}},        {"Weibull", {"2", "1", "*"}},
        {"WeibullEchelle", {"2", "1", "*"}}, {"WeibullForme", {"2", "2", "*"}, "25", "1", "5", "60"},
        {"Lognormale", {"3", "0.1", "*"}},
    };
    for (const Setting& row : rows) {
        for (const int count : {1, 3}) {
            Setting s = row;
            s.count = std::to_string(count);
            const RunOutput out = run_setting(w, s);
            EXPECT_EQ(out.status, 0) << s.law << ": " << (w.exists("Erreur.txt") ? w.read("Erreur.txt") : "");
            Lines names = {"Donnees.txt", "Result1.txt", "Tmp1.txt", "serie.txt"};
            for (int i = 2; i <= count; ++i) names.push_back("Donnees" + std::to_string(i) + ".txt");
            std::sort(names.begin(), names.end());
            ASSERT_EQ(w.files(), names) << s.law;
            for (int i = 1; i <= count; ++i) {
                const std::vector<double> sample =
                    numbers(w.read(i == 1 ? "Donnees.txt" : "Donnees" + std::to_string(i) + ".txt"));
                EXPECT_EQ(sample.size(), 25u) << s.law;
                EXPECT_TRUE(std::is_sorted(sample.begin(), sample.end())) << s.law;
                EXPECT_TRUE(s.law == "Normale" || sample.front() > 0.0) << s.law;
                if (i > 1) continue;
                const std::vector<double> summary = numbers(w.read("Result1.txt"));
                ASSERT_EQ(summary.size(), 7u) << s.law;
                double sum = 0.0;
                for (double v : sample) sum += v;
                EXPECT_EQ(summary[0], -1.0) << s.law;
                EXPECT_NEAR(summary[1], sum / 25.0, 1e-12 * std::fabs(sum)) << s.law;
                EXPECT_EQ(summary[2], -1.0) << s.law;
                EXPECT_GE(summary[3], 0.0) << s.law;
                EXPECT_TRUE(sample.front() <= summary[4] && summary[4] <= summary[6] &&
                            summary[6] <= summary[5] && summary[5] <= sample.back())
                    << s.law << ": the quartiles and the median in order within the sample";
            }
        }
    }
}

TEST(PredictiveSamples, WhatCannotBeDrawn) {
    WorkDir w;
    copy_series(w);
    w.write_lines("negative.txt", {"-1", "0.5", "2"});
    const std::string m12 = std::string(error_message(Erreur::InvalidLawParameters));
    const std::string m63 = std::string(error_message(Erreur::NoEstimator));
    const std::string m64 = std::string(error_message(Erreur::NegativeDataForLaw));
    const std::string m65 = std::string(error_message(Erreur::MethodPreconditionFails));
    struct Row {
        Setting setting;
        std::string expected;
        const char* why;
    };
    Setting negative{"Exponentielle", {"2", "3", "*"}};
    negative.data = "negative.txt";
    Setting lognormal = negative;
    lognormal.law = "Lognormale";
    Setting normal = negative;
    normal.law = "Normale";
    const std::vector<Row> rows = {
        {{"Chi2", {"2", "3", "*"}}, m63, "no predictive law"},
        {{"Inconnue", {"2", "3", "*"}}, m63, "an unknown law"},
        {negative, m64, "a value not above 0"},
        {lognormal, m64, "a value not above 0, lognormal"},
        {{"Exponentielle", {"2", "*", "*"}}, m12, "one prior parameter"},
        {{"Exponentielle", {"0", "3", "*"}}, m12, "a shape of 0"},
        {{"Gamma", {"2", "-1", "*"}}, m12, "a negative rate"},
        {{"WeibullForme", {"0", "2", "*"}, "25", "1", "1", "8"}, m12, "a Beta prior with a = 0"},
        {{"WeibullForme", {"2", "2", "*"}}, m12, "both ends absent: -999 and -999"},
        {{"WeibullForme", {"2", "2", "*"}, "25", "1", "-3", "0"}, m12, "upper end 0"},
        {{"WeibullForme", {"2", "2", "*"}, "25", "1", "5", "5"}, m12, "an empty support"},
        {{"WeibullForme", {"1", "1", "*"}, "1", "1", "300", "400"}, m65, "a support the data reject"},
    };
    for (const Row& row : rows) {
        const RunOutput out = run_setting(w, row.setting);
        EXPECT_EQ(w.exists("Erreur.txt") ? w.read("Erreur.txt") : "", row.expected) << row.why;
        EXPECT_FALSE(w.exists("Result1.txt")) << row.why;
        EXPECT_EQ(out.status, 1) << row.why;
    }
    // The normal law takes values of any sign.
    EXPECT_EQ(run_setting(w, normal).status, 0);
}

}  // namespace
}  // namespace evstat::e2e
