// What the loaders hand to the tasks: the fields of the records and the codes of the
// names, which a run shows only through the tasks' results.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input/parameter_file.h"

namespace evstat {
namespace {

namespace fs = std::filesystem;

// A fresh directory holding Tmp1.txt. The loaders enter the directory of line 1, so the
// directory the test started in is restored on the way out.
class ParameterDir {
public:
    ParameterDir() : start_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "evstat_load_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~ParameterDir() {
        std::error_code ignored;
        fs::current_path(start_, ignored);
        fs::remove_all(path_, ignored);
    }
    ParameterDir(const ParameterDir&) = delete;
    ParameterDir& operator=(const ParameterDir&) = delete;

    std::string dir() const { return path_.string() + "/"; }
    // Writes the lines after the common head (directory, no data, task, result file).
    std::string write(const std::string& task, const std::vector<std::string>& lines) const {
        const std::string file = (path_ / "Tmp1.txt").string();
        std::ofstream out(file, std::ios::binary);
        out << dir() << "\n*\n" << task << "\nResult1.txt\n";
        for (const std::string& line : lines) out << line << "\n";
        return file;
    }

private:
    fs::path start_;
    fs::path path_;
};

TEST(LoadParameterFile2, ListThenClosingBlockThenMethod) {
    ParameterDir d;
    LoadType2Parameters p;
    load_parameter_file_2(
        d.write("9", {"Normale", "*", "Gamma", "12.5", "0.025", "3", "3", "2", "7", "1"}), p);
    EXPECT_EQ(p.frame.directory, d.dir());
    ASSERT_EQ(p.laws.size(), 3u);
    const std::vector<std::pair<std::string, LawCode>> laws = {
        {"Normale", LawCode::kNormal}, {"*", LawCode::kUnknown}, {"Gamma", LawCode::kGamma}};  // "*" refused by the tasks
    for (std::size_t i = 0; i < laws.size(); ++i) {
        EXPECT_EQ(p.laws[i].name, laws[i].first);
        EXPECT_EQ(p.laws[i].code, laws[i].second);
    }
    EXPECT_EQ(p.excessCount, 12);  // "%d" stops at the decimal point
    EXPECT_EQ(p.testLevel, 0.025);
    EXPECT_EQ(p.excessLow, 3);
    EXPECT_EQ(p.excessHigh, 3);
    EXPECT_EQ(p.etVersion, 2);
    EXPECT_EQ(p.bootstrapCount, 7);
    EXPECT_EQ(p.quantileOrder, 1.0);
    EXPECT_EQ(p.method, kUnknownTailMethod);  // not a task with a method line

    const std::vector<std::pair<std::string, int>> methods = {
        {"HW", 1}, {"EMV", 2}, {"Hill", 3}, {"HillG", 4}, {"Zipf", 5}};
    for (const auto& [name, code] : methods) {
        LoadType2Parameters q;
        load_parameter_file_2(d.write("44", {"GPD", "0", "0", "0", "0", "0", "0", "0", name}), q);
        ASSERT_EQ(q.laws.size(), 1u);
        EXPECT_EQ(q.laws[0].code, LawCode::kGpd);
        EXPECT_EQ(q.method, code) << name;
    }
}

TEST(LoadParameterFile2, FieldsBeforeTheFailureKeepTheirValues) {
    ParameterDir d;
    LoadType2Parameters p;
    try {
        load_parameter_file_2(d.write("9", {"Beta", "5", "0.3", "1", "2", "0", "0", "0.5"}), p);
        ADD_FAILURE() << "a test level of 0.3 passed";
    } catch (Erreur code) {
        EXPECT_EQ(code, Erreur::TestLevelNotAccepted);
    }
    EXPECT_EQ(p.laws.size(), 1u);
    EXPECT_EQ(p.excessCount, 5);
    EXPECT_EQ(p.excessLow, 0);  // untouched
}

TEST(LoadParameterFile4, LawPriorAndSizes) {
    ParameterDir d;
    LoadType4Parameters p;
    load_parameter_file_4(
        d.write("27", {"Weibull", "2", "*", "1.5 remark", "100", "20", "8", "*", "3.5", "", ""}), p);
    EXPECT_EQ(p.law.name, "Weibull");
    EXPECT_EQ(p.law.code, LawCode::kWeibull);
    EXPECT_FALSE(p.weibullShape);
    ASSERT_EQ(p.priorParameters.size(), 2);
    EXPECT_EQ(p.priorParameters.at(1), 2.0);
    EXPECT_EQ(p.priorParameters.at(2), 1.5);
    EXPECT_EQ(p.sampleSize, 100.0);
    EXPECT_EQ(p.sampleCount, 20.0);
    EXPECT_EQ(p.classCount, 8);
    EXPECT_EQ(p.priorLow, kPriorBoundAbsent);
    EXPECT_EQ(p.priorHigh, 3.5);
}

TEST(LoadParameterFile5, MethodCodesOnePointPerName) {
    ParameterDir d;
    LoadType5Parameters p;
    load_parameter_file_5(d.write("30", {"Hill", "Zipf", "Hill", "10", "0", "0.999"}), p);
    EXPECT_EQ(p.methodNames, (std::vector<std::string>{"Hill", "Zipf", "Hill"}));
    EXPECT_EQ(p.excessLow, 10);
    EXPECT_EQ(p.excessHigh, 0);
    EXPECT_EQ(p.quantileOrder, 0.999);
    EXPECT_EQ(p.methods, (std::vector<TailMethod>{kTailHill, kTailZipf, kTailHill}));
}

TEST(LoadParameterFile5, NoMethodCodesWhenALaterCheckFails) {
    ParameterDir d;
    LoadType5Parameters p;
    EXPECT_THROW(load_parameter_file_5(d.write("28", {"HW", "EMV", "2", "10", "1.5"}), p), Erreur);
    EXPECT_EQ(p.methodNames.size(), 2u);
    EXPECT_EQ(p.excessHigh, 10);
    EXPECT_TRUE(p.methods.empty());
}

TEST(LawOfName, TheTwoWeibullWordsAndTheCatalogue) {
    struct Row {
        const char* name;
        LawCode code;
        bool shape;
    };
    const Row rows[] = {{"WeibullForme", LawCode::kWeibull, true},     {"WeibullEchelle", LawCode::kWeibull, false},
                        {"Weibull", LawCode::kWeibull, false},         {"Normale", LawCode::kNormal, false},
                        {"weibullforme", LawCode::kUnknown, false}, {"*", LawCode::kUnknown, false}};
    for (const Row& r : rows) {
        bool shape = !r.shape;
        const NamedLaw law = law_of_name(r.name, shape);
        EXPECT_EQ(law.name, r.name);
        EXPECT_EQ(law.code, r.code) << r.name;
        EXPECT_EQ(shape, r.shape) << r.name;
    }
}

// LoadType 3: every word of the file turned into its code, and the laws refused after the
// last line (a simulation law only for a simulated series).
TEST(LoadParameterFile3, WordsBecomeCodes) {
    ParameterDir d;
    auto lines = [](const std::string& law, const std::string& simulated,
                    const std::string& simulationLaw, const std::string& confidence,
                    const std::string& test) {
        return std::vector<std::string>{law,    "*",        "*",  simulated, simulationLaw, "1",
                                        "2",    "*",        "1",  "10",      "0.1",         "0.05",
                                        "0.05", confidence, test, "0.05",    "0.1",         "10",
                                        "0.01", "0.9",      "0",  "0.99",    "0",           "0"};
    };
    LoadType3Parameters p;
    load_parameter_file_3(d.write("25", lines("WeibullForme", "1", "Gamma", "Moyenne", "CVM")), p);
    EXPECT_EQ(p.law.code, LawCode::kWeibull);
    EXPECT_TRUE(p.weibullShape);
    EXPECT_TRUE(p.simulated);
    EXPECT_TRUE(p.expert);
    EXPECT_EQ(p.simulationLaw.code, LawCode::kGamma);
    EXPECT_EQ(p.confidence, ExpertConfidence::kMedium);
    EXPECT_EQ(p.test, CentralTest::kCramerVonMises);
    EXPECT_EQ(p.extraOrders.size(), 2);

    struct Refusal {
        std::vector<std::string> lines;
        Erreur code;
    };
    const Refusal refusals[] = {
        {lines("Inconnue", "0", "*", "*", "AD"), Erreur::UnknownLaw},
        {lines("*", "0", "*", "*", "AD"), Erreur::UnknownLaw},  // "*" is not exempt here
        {lines("Normale", "1", "Inconnue", "*", "AD"), Erreur::UnknownLaw},
        {lines("Inconnue", "0", "*", "forte", "AD"), Erreur::ConfidenceNotAccepted},  // file order
    };
    for (const Refusal& r : refusals) {
        LoadType3Parameters q;
        try {
            load_parameter_file_3(d.write("25", r.lines), q);
            ADD_FAILURE() << r.lines[0];
        } catch (Erreur code) {
            EXPECT_EQ(static_cast<int>(code), static_cast<int>(r.code)) << r.lines[0];
        }
    }
    LoadType3Parameters unsimulated;  // the simulation law of a real series is not looked up
    load_parameter_file_3(d.write("25", lines("Normale", "0", "Inconnue", "Forte", "AD")),
                          unsimulated);
    EXPECT_EQ(unsimulated.simulationLaw.code, LawCode::kUnknown);
    EXPECT_EQ(unsimulated.confidence, ExpertConfidence::kStrong);
    EXPECT_EQ(unsimulated.test, CentralTest::kAndersonDarling);
}

}  // namespace
}  // namespace evstat
