// Faults a front end meets and how the engine answers them: data files that are not
// numbers (67) or not files (3), result files that cannot be written (68), the run's own
// ParameterFile never written, no stale error file, the line on standard error, and the
// bounds on the work of one run (12, nothing written).
#include <algorithm>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

const std::string kNotNumeric = "Le fichier de données est vide ou contient une valeur non numérique.";
const std::string kNotFound = "Le fichier spécifié est introuvable ou n'existe pas.";
const std::string kNotWritable = "Le fichier de résultats ne peut pas être écrit.";
const std::string kInvalid = "Valeurs des paramètres non valides.";

Lines describe_file(const WorkDir& w, const std::string& dataFile, const std::string& result) {
    return {w.dir(), dataFile, "5", result, "*", "*", "*", "*", "0", "0", "0"};
}

Lines fit_file(const WorkDir& w, const std::string& task, const std::string& result) {
    if (task == "7") return {w.dir(), "d.txt", "7", result, "Normale", "*", "*", "*", "0", "0", "0"};
    return {w.dir(), "d.txt", task, result, "Normale", "Gamma", "10", "0.05", "2", "5", "1", "100", "0.01"};
}

struct Outcome {
    RunOutput out;
    std::vector<std::string> files;  // the directory after the run
    std::string error;               // Erreur.txt, "" when there is none
};

Outcome run_in(const WorkDir& w, const Lines& lines, const std::string& loadType) {
    w.write_lines("Tmp1.txt", lines);
    Outcome o;
    o.out = w.run("Tmp1.txt", loadType);
    o.files = w.files();
    o.error = w.exists("Erreur.txt") ? w.read("Erreur.txt") : std::string();
    return o;
}

// The line on standard error: the message in UTF-8, then what was wrong.
void expect_error_line(const Outcome& o, int code, const std::string& message,
                       const std::string& detail, const std::string& why) {
    const std::string head = "Erreur " + std::to_string(code) + " : " + message;
    EXPECT_EQ(o.out.standardError.substr(0, head.size()), head) << why;
    EXPECT_NE(o.out.standardError.find(detail), std::string::npos) << why << ": " << o.out.standardError;
    EXPECT_EQ(std::count(o.out.standardError.begin(), o.out.standardError.end(), '\n'), 1) << why;
}

TEST(Reliability, DataFilesThatAreNotSeriesOfNumbers) {
    const struct {
        std::string why, content;  // content "<dir>": the data file is a directory
        int code;
        std::string detail;
    } rows[] = {
        {"a directory", "<dir>", 3, "d.txt"},
        {"a word in the middle", "1.5\n2.5\nabc\n3.5\n", 67, "d.txt, ligne 3 : \"abc\""},
        {"a header line", "valeurs\n1\n2\n", 67, "ligne 1 : \"valeurs\""},
        {"an empty file", "", 67, "aucun nombre"},
        {"nan in the data", "1\nnan\n3\n", 67, "ligne 2 : \"nan\""},
    };
    for (const auto& row : rows) {
        WorkDir w;
        if (row.content == "<dir>")
            std::filesystem::create_directory(w.file("d.txt"));
        else
            w.write("d.txt", row.content);
        const Outcome o = run_in(w, describe_file(w, "d.txt", w.dir() + "Result1.txt"), "1");
        const std::string& message = row.code == 3 ? kNotFound : kNotNumeric;
        EXPECT_EQ(o.out.status, 1) << row.why;
        EXPECT_EQ(o.error, cp1252(message)) << row.why;
        EXPECT_FALSE(w.exists("Result1.txt")) << row.why;
        expect_error_line(o, row.code, message, row.detail, row.why);
    }
    // A numbered data file of a study is refused before anything is computed or written.
    WorkDir w;
    w.write("Donnees.txt", "1\n2\n3\n");
    w.write("Donnees2.txt", "1\n2\n3 x\n");
    const Outcome o = run_in(w, {w.dir(), "*", "26", w.dir() + "Result1.txt", "Normale", "*", "*",
                                 "*", "0", "0", "0"}, "1");
    EXPECT_EQ(o.error, cp1252(kNotNumeric));
    EXPECT_FALSE(w.exists("Result1.txt"));
    expect_error_line(o, 67, kNotNumeric, "Donnees2.txt, ligne 3 : \"x\"", "numbered file");
}

TEST(Reliability, ResultFilesThatCannotBeWritten) {
    const struct {
        std::string why, result;
    } rows[] = {
        {"a missing directory", "/nowhere/Result1.txt"},
        {"a full device", "/dev/full"},  // Linux only: Windows has no such device
    };
    for (const auto& row : rows) {
        if (kWindowsEngine && row.result == "/dev/full") continue;
        WorkDir w;
        w.write("d.txt", "1\n2\n3\n");
        const std::string result = row.result[0] == '/' && row.result != "/dev/full"
                                       ? w.dir() + row.result.substr(1)
                                       : row.result;
        const Outcome o = run_in(w, describe_file(w, "d.txt", result), "1");
        EXPECT_EQ(o.out.status, 1) << row.why;
        EXPECT_EQ(o.error, cp1252(kNotWritable)) << row.why;
        expect_error_line(o, 68, kNotWritable, result, row.why);
    }
}

// "Result.txt" has the result number 0, so the first curve pair would be Tmp1.txt, the
// run's own ParameterFile; the run fails before it writes anything. A result file that
// is the ParameterFile itself is refused too.
TEST(Reliability, TheRunsOwnParameterFileIsNeverWritten) {
    const struct {
        std::string task, loadType, result;
    } rows[] = {
        {"7", "1", "Result.txt"},
        {"9", "2", "Result.txt"},
        {"10", "2", "Result.txt"},
        {"7", "1", "Tmp1.txt"},
    };
    for (const auto& row : rows) {
        WorkDir w;
        w.write("d.txt", "0.2\n0.4\n0.5\n0.9\n1.3\n");
        const Lines lines = fit_file(w, row.task, w.dir() + row.result);
        const Outcome o = run_in(w, lines, row.loadType);
        std::string expected;
        for (const std::string& line : lines) expected += line + "\n";
        EXPECT_EQ(o.out.status, 1) << row.task;
        EXPECT_EQ(w.bytes("Tmp1.txt"), expected) << row.task;
        EXPECT_EQ(o.files, (std::vector<std::string>{"Erreur.txt", "Tmp1.txt", "d.txt"})) << row.task;
        EXPECT_EQ(o.error, cp1252(kNotWritable)) << row.task;
        expect_error_line(o, 68, kNotWritable, w.engine_file("Tmp1.txt"), row.task);
    }
}

// A ParameterFile named Erreur.txt is neither removed as stale nor replaced by the message.
TEST(Reliability, AParameterFileNamedLikeTheErrorFileStays) {
    WorkDir w;
    w.write("d.txt", "1\nx\n");
    w.write_lines("Erreur.txt", describe_file(w, "d.txt", w.dir() + "Result1.txt"));
    const std::string before = w.bytes("Erreur.txt");
    const RunOutput out = w.run("Erreur.txt", "1");
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(w.bytes("Erreur.txt"), before);
    EXPECT_EQ(out.standardError.rfind("Erreur 67 : ", 0), 0u);
}

TEST(Reliability, NoStaleErrorFileAfterASuccessfulRun) {
    WorkDir w;
    w.write("d.txt", "1\n2\n3\n");
    w.write("Erreur.txt", "from an earlier run");
    const Outcome o = run_in(w, describe_file(w, "d.txt", w.dir() + "Result1.txt"), "1");
    EXPECT_EQ(o.out.status, 0);
    EXPECT_EQ(o.out.standardError, "");
    EXPECT_EQ(o.files, (std::vector<std::string>{"Result1.txt", "Tmp1.txt", "d.txt"}));
}

// Just above each bound the run fails with 12 and writes nothing; just below, the
// request runs (the bound checks themselves are tested at the bound in the unit tests).
TEST(Reliability, WorkBounds) {
    auto simulation = [](const WorkDir& w, const std::string& size, const std::string& samples) {
        return Lines{w.dir(), "*", "1", w.dir() + "Result1.txt", "Uniforme", "0", "1", "*",
                     size, samples, "4"};
    };
    auto curve = [](const WorkDir& w, const std::string& steps) {
        return Lines{w.dir(), "*", "2", w.dir() + "Result1.txt", "Normale", "0", "1", "*",
                     "-1", "1", steps};
    };
    // Task 24 over 20 values, numbers of excesses 5 to 20: 16 tests of 20 resampled values
    // each B times, so that 3,125,000 resamples reach the bound.
    auto resampling = [](const WorkDir& w, const std::string& resamples) {
        return Lines{w.dir(), "d.txt", "24", w.dir() + "Result1.txt", "Weibull", "10", "0.05",
                     "5", "20", "2", resamples, "0.01"};
    };
    // Task 25 with the normal law: a value far above the others spreads the predictive law
    // over thousands of units, some 4e7 points of its table at steps of 1e-4.
    auto expert = [](const WorkDir& w) {
        return Lines{w.dir(), "d.txt", "25", w.dir() + "Result1.txt", "Normale", "0.5", "3", "0",
                     "*", "*", "*", "*", "1", "5", "0.1", "0.01", "0.5", "Moyenne", "AD", "0.05",
                     "0.1", "10", "0.01", "0.9", "0", "0.99", "0", "0"};
    };
    struct Row {
        std::string why;
        Lines lines;
        bool refused;
        std::string loadType = "1";
        std::string farValue = "";  // appended to the series
    };
    WorkDir w;
    std::string series;
    for (int i = 1; i <= 20; ++i) series += std::to_string(3.5 + 0.01 * i * i) + "\n";
    const std::vector<Row> table = {
        {"100,000,000 grid steps", curve(w, "100000000"), true},
        {"4,294,967,296 grid steps", curve(w, "4294967296"), true},
        {"100,000,001 values in a sample", simulation(w, "100000001", "1"), true},
        {"1,000,001 numbered files", simulation(w, "1", "1000001"), true},
        {"1e80 numbered files", simulation(w, "1", "1e80"), true},
        {"1,000,000,100 values written", simulation(w, "1001", "999101"), true},
        {"a small grid", curve(w, "4"), false},
        {"a small simulation", simulation(w, "10", "3"), false},
        {"1,000,000,020 resampled values", resampling(w, "3125001"), true, "2"},
        {"a few resamples", resampling(w, "5"), false, "2"},
        {"a normal table of 4e7 points", expert(w), true, "3", "8044\n"},
        {"a normal table of a narrow series", expert(w), false, "3"},
    };
    for (const Row& row : table) {
        for (const std::string& name : w.files())
            if (name != "Tmp1.txt") std::filesystem::remove_all(w.file(name));
        const bool readsSeries = row.loadType == "2" || row.loadType == "3";
        if (readsSeries) w.write("d.txt", series + row.farValue);
        const Outcome o = run_in(w, row.lines, row.loadType);
        if (row.refused) {
            EXPECT_EQ(o.out.status, 1) << row.why;
            EXPECT_EQ(o.error, cp1252(kInvalid)) << row.why;
            std::vector<std::string> left{"Erreur.txt", "Tmp1.txt"};
            if (readsSeries) left.push_back("d.txt");
            EXPECT_EQ(o.files, left) << row.why;
            expect_error_line(o, 12, kInvalid, "au-delà de la limite", row.why);
        } else {
            EXPECT_EQ(o.out.status, 0) << row.why;
            EXPECT_TRUE(w.exists("Result1.txt")) << row.why;
        }
    }
}

}  // namespace
}  // namespace evstat::e2e
