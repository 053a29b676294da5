// Task 27 (LoadType 4) as a front end runs it: the summary of a predictive sample, the
// sample in "Donnees.txt" and the further numbered files, for every law with a
// predictive law, and the codes of what cannot be drawn. The engine runs with a fixed
// seed; the expected bytes come from the library called in this process with the same
// seed and the same calls in the same order.
#include <map>

#include "driver/files.h"
#include "e2e/harness.h"
#include "estimation/estimate.h"
#include "input/errors.h"
#include "laws/generator.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sample.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr unsigned kSeed = 4242;

struct Setting {
    std::string law;
    Lines prior;  // lines 6, 7, 8
    std::string size = "25";
    std::string count = "1";
    std::string low = "*";
    std::string high = "*";
    std::string data = "serie.txt";
};

RunOutput run_setting(const WorkDir& w, const Setting& s) {
    w.write_lines("Tmp1.txt", {w.dir(), s.data, "27", w.dir() + "Result1.txt", s.law, s.prior[0],
                               s.prior[1], s.prior[2], s.size, s.count, "10", s.low, s.high,
                               "unread", "unread"});
    for (const std::string& name : w.files())
        if (name.rfind("Donnees", 0) == 0 || name == "Result1.txt" || name == "Erreur.txt")
            std::filesystem::remove(w.file(name));
    return w.run_seeded("Tmp1.txt", "4", kSeed);
}

std::string values_text(const Series& sample) {
    std::string text;
    for (const double value : sample) text += formatted(value) + "\n";
    if (!text.empty()) text.pop_back();
    return text;
}

// The files the run leaves beside its ParameterFile and data, by name.
std::map<std::string, std::string> expected_files(const WorkDir& w, const Setting& s, LawCode code,
                                                  int flag, int samples) {
    Series data;
    read_series(w.file(s.data), data);
    sort_ascending(data);
    ValueList prior;
    for (const std::string& v : s.prior)
        if (v != "*") prior.push_back(std::stod(v));
    const double low = s.low == "*" ? -999.0 : std::stod(s.low);
    const double high = s.high == "*" ? -999.0 : std::stod(s.high);
    const int N = std::stoi(s.size);
    ValueList estimates;
    estimate_law(data, code, size_of(data), estimates);
    ValueList posterior;
    posterior_parameters(data, code, prior, estimates, size_of(data), flag, posterior);

    set_seed(kSeed);
    std::map<std::string, std::string> files;
    for (int i = 1; i <= samples; ++i) {
        Series sample;
        EXPECT_EQ(predictive_sample(sample, data, code, prior, posterior, estimates, N, low, high, flag),
                  PredictiveDraw::Drawn);
        sort_ascending(sample);
        if (i == 1) {
            const std::string none = formatted(-1.0) + "\n";
            files["Result1.txt"] = none + formatted(mean(sample)) + "\n" + none +
                                   formatted(variance(sample)) + "\n" +
                                   formatted(lower_quartile(sample, N)) + "\n" +
                                   formatted(upper_quartile(sample, N)) + "\n" +
                                   formatted(median(sample, N)) + "\n";
        }
        files[i == 1 ? "Donnees.txt" : "Donnees" + std::to_string(i) + ".txt"] = values_text(sample);
    }
    return files;
}

const std::string kSeaLevels = std::string(EVSTAT_SOURCE_DIR) + "/examples/portpirie.txt";

void copy_series(const WorkDir& w) {
    std::ifstream in(kSeaLevels);
    w.write("serie.txt", std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

TEST(PredictiveSamples, EveryLawWithOneAndThreeSamples) {
    WorkDir w;
    copy_series(w);
    struct Row {
        Setting setting;
        LawCode code;
        int flag;
    };
    const std::vector<Row> rows = {
        {{"Exponentielle", {"2", "3", "*"}}, kExponential, 0},
        {{"Gamma", {"2", "0.5", "*"}}, kGamma, 0},
        {{"Normale", {"3", "1", "*"}}, kNormal, 0},
        {{"Weibull", {"2", "1", "*"}}, kWeibull, 0},
        {{"WeibullEchelle", {"2", "1", "*"}}, kWeibull, 0},
        {{"WeibullForme", {"2", "2", "*"}, "25", "1", "5", "60"}, kWeibull, 1},
        {{"Lognormale", {"3", "0.1", "*"}}, kLognormal, 0},
    };
    for (const Row& row : rows) {
        for (const std::string count : {"1", "3"}) {
            Setting s = row.setting;
            s.count = count;
            const RunOutput out = run_setting(w, s);
            EXPECT_EQ(out.status, 0) << s.law << ": " << (w.exists("Erreur.txt") ? w.read("Erreur.txt") : "");
            const auto expected = expected_files(w, s, row.code, row.flag, std::stoi(count));
            for (const auto& [name, bytes] : expected) EXPECT_EQ(w.read(name), bytes) << s.law << " " << name;
            EXPECT_EQ(w.files().size(), expected.size() + 2) << s.law << " count " << count;  // + Tmp1, serie
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
