// What the loaders of LoadTypes 2, 4 and 5 hand to the driver: the fields themselves,
// which a run cannot show until the tasks of these layouts exist.
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
    RunParameters p;
    load_parameter_file_2(
        d.write("9", {"Normale", "*", "Gamma", "12.5", "0.025", "3", "3", "2", "7", "1"}), p);
    EXPECT_EQ(p.directory, d.dir());
    EXPECT_EQ(p.lawNames, (std::vector<std::string>{"Normale", "*", "Gamma"}));
    EXPECT_EQ(p.lawCount, 3);
    EXPECT_EQ(p.excessCount, 12);  // "%d" stops at the decimal point
    EXPECT_EQ(p.testLevel, 0.025);
    EXPECT_EQ(p.excessLow, 3);
    EXPECT_EQ(p.excessHigh, 3);
    EXPECT_EQ(p.etVersion, 2);
    EXPECT_EQ(p.bootstrapCount, 7);
    EXPECT_EQ(p.quantileOrder, 1.0);
    EXPECT_EQ(p.method, 0);  // not a task with a method line

    const std::vector<std::pair<std::string, int>> methods = {
        {"HW", 1}, {"EMV", 2}, {"Hill", 3}, {"HillG", 4}, {"Zipf", 5}};
    for (const auto& [name, code] : methods) {
        RunParameters q;
        load_parameter_file_2(d.write("44", {"GPD", "0", "0", "0", "0", "0", "0", "0", name}), q);
        EXPECT_EQ(q.lawNames, std::vector<std::string>{"GPD"});
        EXPECT_EQ(q.method, code) << name;
    }
}

TEST(LoadParameterFile2, FieldsBeforeTheFailureKeepTheirValues) {
    ParameterDir d;
    RunParameters p;
    try {
        load_parameter_file_2(d.write("9", {"Beta", "5", "0.3", "1", "2", "0", "0", "0.5"}), p);
        ADD_FAILURE() << "a test level of 0.3 passed";
    } catch (Erreur code) {
        EXPECT_EQ(code, Erreur::TestLevelNotAccepted);
    }
    EXPECT_EQ(p.lawCount, 1);
    EXPECT_EQ(p.excessCount, 5);
    EXPECT_EQ(p.excessLow, 0);  // untouched
}

TEST(LoadParameterFile4, LawPriorAndSizes) {
    ParameterDir d;
    RunParameters p;
    load_parameter_file_4(
        d.write("27", {"Weibull", "2", "*", "1.5 remark", "100", "20", "8", "*", "3.5", "", ""}), p);
    EXPECT_EQ(p.lawName, "Weibull");
    ASSERT_EQ(p.lawParameters.size(), 2);
    EXPECT_EQ(p.lawParameters.at(1), 2.0);
    EXPECT_EQ(p.lawParameters.at(2), 1.5);
    EXPECT_EQ(p.sampleSize, 100.0);
    EXPECT_EQ(p.sampleCount, 20.0);
    EXPECT_EQ(p.classCount, 8);
    EXPECT_EQ(p.priorLow, kPriorBoundAbsent);
    EXPECT_EQ(p.priorHigh, 3.5);
}

TEST(LoadParameterFile5, MethodCodesOnePointPerName) {
    ParameterDir d;
    RunParameters p;
    load_parameter_file_5(d.write("30", {"Hill", "Zipf", "Hill", "10", "0", "0.999"}), p);
    EXPECT_EQ(p.methodNames, (std::vector<std::string>{"Hill", "Zipf", "Hill"}));
    EXPECT_EQ(p.methodCount, 3);
    EXPECT_EQ(p.excessLow, 10);
    EXPECT_EQ(p.excessHigh, 0);
    EXPECT_EQ(p.quantileOrder, 0.999);
    const std::vector<double> codes = {3, 5, 3};
    ASSERT_EQ(p.methodCodes.size(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(p.methodCodes.x_at(i), 0.0);
        EXPECT_EQ(p.methodCodes.y_at(i), codes[static_cast<std::size_t>(i - 1)]);
    }
}

TEST(LoadParameterFile5, NoMethodCodesWhenALaterCheckFails) {
    ParameterDir d;
    RunParameters p;
    EXPECT_THROW(load_parameter_file_5(d.write("28", {"HW", "EMV", "2", "10", "1.5"}), p), Erreur);
    EXPECT_EQ(p.methodCount, 2);
    EXPECT_EQ(p.excessHigh, 10);
    EXPECT_TRUE(p.methodCodes.empty());
}

}  // namespace
}  // namespace evstat
