// The ParameterFiles of LoadTypes 2, 4 and 5 seen from the front end: the error file of
// every check, the order of the checks, the list lengths and the bounds that pass. A file
// of LoadType 2 or 4 that passes runs its task over a small series, or ends with the code
// its task gives that series; one of LoadType 5 runs task 35,
// which then finds no numbered data file.
#include <map>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

const std::map<int, std::string> kMessages = {
    {3, "Le fichier spécifié est introuvable ou n'existe pas."},
    {0, "Votre fichier Tmp*.txt ne contient pas toutes les informations nécessaires. Le type de chargement peut être incorrect."},
    {5, "Le numéro de tâche doit être compris entre 1 et 40."},
    {7, "Le numero de tache ne corre^spond pas à ce type de chargement (cf documentation technique)."},
    {9, "Le nom de loi spécifié est absent du catalogue de modèles (cf documentation technique)."},
    {10, "Le nom de la loi doit être une chaîne de caractère."},
    {11, "Les paramètres de la loi ne doit pas contenir de caractères alphabétiques."},
    {12, "Valeurs des paramètres non valides."},
    {13, "La taille de l'échantillon doit être un nombre entier."},
    {14, "La taille de l'échantillon doit être supérieure ou égale à 1."},
    {16, "Le nombre d'échantillons souhaités doit être un nombre entier."},
    {17, "Le nombre d'échantillons doit être supérieur ou égal à 1."},
    {20, "Le nombre de classes de l'histogramme doit être un nombre entier."},
    {23, "Le nombre de classes de l'histogramme doit être supérieur ou égal à 1."},
    {24, "Le nombre d'excès doit être un nombre entier."},
    {25, "Le nombre d'excès doit être supérieur ou égal à 2."},
    {26, "Le niveau du test doit ne doit pas comporter de caractères alphabétiques."},
    {27, "Le niveau du test ne peut prendre que des valeurs bien définies (cf documentation technique)."},
    {28, "La borne inférieure des excès doit être un nombre entier."},
    {29, "La borne inférieure des excès doit être supérieure ou égale à 2."},
    {30, "La borne supérieure des excès doit être un nombre entier."},
    {31, "La borne supérieure des excès doit être supérieure ou égale à 2."},
    {32, "La borne supérieure des excès doit être supérieure à la borne inférieure des excès."},
    {33, "La version du test ET doit être un nombre entier (cf documentation technique)."},
    {34, "La version du test ET ne peut prendre que certaines valeurs spécifiques (cf documentation technique)"},
    {35, "Le nombre d'échantillons de bootstrap doit être un nombre entier."},
    {36, "Le nombre d'échantillons de bootstrap doit être strictement positif."},
    {65, "Condition mathématique non vérifiée. Calcul impossible. Méthode invalide."},
    {37, "L'ordre du quantile ne doit pas comporter de caractères alphabétiques."},
    {38, "L'ordre du quantile doit être compris entre 0 et 1 strictement."},
    {39, "Les paramètres de la loi beta a priori ne doivent pas comporter de caractères alphabétiques."},
    {40, "La borne supérieure de l'intervalle de défnition de la loi beta a priori ne peut pas être inférieure à la borne inférieure."},
    {63, "L'estimation des paramètres pour ce modèle est impossible. Modèle incompatible."},
    {59, "le nom de la méthode doit être ue chaîne de caracères."},
    {60, "Le nom de la méthode utilisée ne peut prendre que des valeurs spécifiques (cf documentation technique)."},
};

constexpr int kPasses = -1;
constexpr int kPassesToTask35 = -2;  // the loader passes; task 35 reports no numbered data file
constexpr int kPassesToTask38 = kPassesToTask35;  // the same for task 38

std::string expected_bytes(int code) {
    if (code == kPasses) return std::string();
    return cp1252(kMessages.at(code == kPassesToTask35 ? 3 : code));
}

using Lines = std::vector<std::string>;

// Runs a file of the LoadType and returns the error file's bytes ("" when there is none).
std::string error_of(const WorkDir& w, const Lines& lines, const std::string& loadType) {
    w.write_lines("Tmp1.txt", lines);
    if (!w.exists("serie.txt")) w.write("serie.txt", "0.2\n0.4\n0.5\n0.9\n1.3\n");
    std::filesystem::remove(w.file("Erreur.txt"));
    const RunOutput out = w.run("Tmp1.txt", loadType);
    const bool failed = w.exists("Erreur.txt");
    // A clean run exits with 0; anything else without an error file is a crash.
    EXPECT_EQ(out.status, failed ? 1 : 0);
    return failed ? w.read("Erreur.txt") : std::string();
}

// Task 9: one law, then excesses, test level, excess range, ET version, bootstrap, order.
Lines fit_tests_file(const WorkDir& w, const Lines& laws = {"Normale"}) {
    Lines lines = {w.dir(), "serie.txt", "9", w.dir() + "Result1.txt"};
    lines.insert(lines.end(), laws.begin(), laws.end());
    lines.insert(lines.end(), {"10", "0.05", "2", "5", "1", "100", "0.99"});
    return lines;
}

// Task 44: the same with the tail method on the last line.
Lines tail_quantile_file(const WorkDir& w, const Lines& laws = {"GPD"}) {
    Lines lines = fit_tests_file(w, laws);
    lines[2] = "44";
    lines.push_back("Hill");
    return lines;
}

// Task 27 (15 lines, the last two unread): a Gamma prior (2, 3) on the exponential rate.
Lines prior_sampling_file(const WorkDir& w) {
    if (!w.exists("serie.txt")) w.write("serie.txt", "0.2\n0.4\n0.5\n0.9\n1.3\n");
    return {w.dir(), "serie.txt", "27", w.dir() + "Result1.txt", "Exponentielle", "2", "3", "*",
            "10", "2", "5", "0", "1", "unread", "unread"};
}

// Task 35: methods, then the excess range and the quantile order. With no numbered data
// file in the directory a file that passes the loader ends with the task's code 3.
Lines tail_methods_file(const WorkDir& w, const Lines& methods = {"Hill"}) {
    Lines lines = {w.dir(), "*", "35", w.dir() + "Result1.txt"};
    lines.insert(lines.end(), methods.begin(), methods.end());
    lines.insert(lines.end(), {"2", "10", "0.99"});
    return lines;
}

struct LineCase {
    int line;  // 1-based
    std::string text;
    int code;
};

void check_cases(const WorkDir& w, const Lines& base, const std::string& loadType,
                 const std::vector<LineCase>& cases) {
    for (const LineCase& c : cases) {
        Lines lines = base;
        lines.at(static_cast<std::size_t>(c.line - 1)) = c.text;
        EXPECT_EQ(error_of(w, lines, loadType), expected_bytes(c.code))
            << "LoadType " << loadType << " line " << c.line << " '" << c.text << "'";
    }
}

Lines repeated(const std::string& name, int count) { return Lines(static_cast<std::size_t>(count), name); }

TEST(LoadType2, EveryCheckOfTheClosingBlock) {
    WorkDir w;
    check_cases(w, fit_tests_file(w), "2",
                {
                    {3, "8", 7},          {3, "25", 7},        {3, "27", 7},
                    {3, "47", 5},         {3, "24", kPasses},  {3, "36", kPasses},
                    // "*" and an unknown name pass the loader; task 9 refuses them.
                    {5, "1law", 10},      {5, "", 10},         {5, "*", 9},
                    {5, "Inconnue", 9},
                    {6, "x", 24},         {6, "*", 24},        {6, "-1", 25},
                    {6, "0", kPasses},    {6, "12.5", kPasses},
                    {7, "a", 26},         {7, "0.5", 27},      {7, "-0.05", 27},
                    {7, "0", kPasses},    {7, "0.25", kPasses}, {7, "0.1", kPasses},
                    {7, "0.025", kPasses}, {7, "0.01", kPasses}, {7, "5e-2", kPasses},
                    {8, "x", 28},         {8, "-1", 29},       {8, "0", kPasses},
                    {9, "x", 30},         {9, "-1", 31},       {9, "1", 32},
                    {9, "2", kPasses},    {9, "0", 32},
                    {10, "v", 33},        {10, "4", 34},       {10, "-1", 34},
                    {10, "0", kPasses},   {10, "3", kPasses},
                    {11, "b", 35},        {11, "-1", 36},      {11, "0", kPasses},
                    {12, "q", 37},        {12, "-0.1", 38},    {12, "1.5", 38},
                    {12, "-nan", 38},     {12, "0", kPasses},  {12, "1", kPasses},
                });
}

TEST(LoadType2, TheMethodLineOfTasks38To46) {
    WorkDir w;
    check_cases(w, tail_quantile_file(w), "2",
                {
                    {13, "hill", 60}, {13, "Weibull", 60}, {13, "1", 59},  {13, "*", 59},
                    {13, "HW", kPasses}, {13, "EMV", 65}, {13, "Hill", kPasses},  // 65: no likelihood fit
                    {13, "HillG", kPasses}, {13, "Zipf", 65}, {13, "Zipf remark", 65},  // of 5 values
                    {12, "1.5", 38},  {6, "x", 24},
                });
    for (const auto& [task, code] : std::vector<std::pair<std::string, int>>{{"38", kPassesToTask38}, {"46", kPasses}})
        check_cases(w, tail_quantile_file(w), "2", {{3, task, code}, {13, "x1", 60}});
}

TEST(LoadType2, ListLengthFollowsTheNumberOfLines) {
    WorkDir w;
    struct Case {
        Lines lines;
        int code;
        std::string what;
    };
    Lines threeLaws = fit_tests_file(w, {"Normale", "Gamma", "Weibull"});
    threeLaws[7] = "x";  // excesses of a three-law file: line 8, a test level in a one-law file
    Lines taskNineWithMethod = fit_tests_file(w, {"Normale", "Gamma"});
    taskNineWithMethod.back() = "HW";  // for task 9 the last line is the quantile order
    Lines badTwelfthLaw = fit_tests_file(w, repeated("Gamma", 12));
    badTwelfthLaw[15] = "1bad";
    Lines badFifthOfTwelve = badTwelfthLaw;
    badFifthOfTwelve[8] = "2bad";
    Lines shortTail = tail_quantile_file(w);
    shortTail.erase(shortTail.begin() + 4);  // 12 lines are too few for task 44
    Lines shortFit = fit_tests_file(w);
    shortFit.pop_back();
    const std::vector<Case> cases = {
        {fit_tests_file(w, {"Normale", "Gamma", "Weibull"}), kPasses, "3 laws"},
        {threeLaws, 24, "closing block after 3 laws"},
        {fit_tests_file(w, repeated("Gamma", 11)), kPasses, "11 laws"},
        {fit_tests_file(w, repeated("Gamma", 12)), 0, "12 laws refused"},
        {badTwelfthLaw, 0, "12th line refused as extra before its own check"},
        {badFifthOfTwelve, 10, "names before the 12th checked first"},
        {fit_tests_file(w, {"Normale", "Gamma"}), kPasses, "13 lines for task 9: two laws"},
        {taskNineWithMethod, 37, "13 lines for task 9: no method line"},
        {tail_quantile_file(w, {"GPD", "Pareto", "Weibull"}), kPasses, "task 44, 3 laws"},
        {tail_quantile_file(w, repeated("GPD", 11)), kPasses, "task 44, 11 laws"},
        {tail_quantile_file(w, repeated("GPD", 12)), 0, "task 44, 12 laws refused"},
        {shortTail, 0, "task 44 in 12 lines"},
        {shortFit, 0, "task 9 in 11 lines"},
    };
    for (const Case& c : cases) EXPECT_EQ(error_of(w, c.lines, "2"), expected_bytes(c.code)) << c.what;
}

TEST(LoadType2, TheFirstFailingLineWins) {
    WorkDir w;
    struct Case {
        std::vector<LineCase> changes;
        int code;
    };
    const std::vector<Case> cases = {
        {{{3, "99", 0}, {5, "1law", 0}}, 5},
        {{{5, "1law", 0}, {6, "x", 0}}, 10},
        {{{6, "-1", 0}, {7, "0.5", 0}}, 25},
        {{{7, "0.5", 0}, {8, "x", 0}}, 27},
        {{{9, "1", 0}, {10, "9", 0}}, 32},
        {{{10, "9", 0}, {11, "-1", 0}}, 34},
        {{{11, "-1", 0}, {12, "2", 0}}, 36},
        {{{12, "2", 0}, {13, "hw", 0}}, 38},
    };
    for (const Case& c : cases) {
        Lines lines = tail_quantile_file(w);
        for (const LineCase& change : c.changes) lines[static_cast<std::size_t>(change.line - 1)] = change.text;
        EXPECT_EQ(error_of(w, lines, "2"), expected_bytes(c.code)) << "expected code " << c.code;
    }
}

TEST(LoadType2, WindowsLineEndsReadAsPlainOnes) {
    WorkDir w;
    w.write("serie.txt", "0.2\n0.4\n0.5\n0.9\n1.3\n");
    for (const auto& [last, code] : std::vector<std::pair<std::string, int>>{{"Zipf", 65}, {"zipf", 60}}) {
        Lines lines = tail_quantile_file(w);
        lines.back() = last;
        std::string content;
        for (const std::string& line : lines) content += line + "\r\n";
        w.write("Tmp1.txt", content);
        std::filesystem::remove(w.file("Erreur.txt"));
        w.run("Tmp1.txt", "2");
        EXPECT_EQ(w.exists("Erreur.txt") ? w.read("Erreur.txt") : "", expected_bytes(code)) << last;
    }
}

TEST(LoadType4, EveryCheckInLineOrder) {
    WorkDir w;
    check_cases(w, prior_sampling_file(w), "4",
                {
                    {3, "28", 7},        {3, "1", 7},         {3, "47", 5},
                    // Task 27 draws from no law of an unknown name or "*" (63), nor from a
                    // Weibull law fitted to no value (12).
                    {5, "1law", 10},     {5, "Inconnue", 63}, {5, "WeibullForme", kPasses},
                    {5, "*", 63},
                    {6, "abc", 11},      {6, "-", 11},        {7, "*", 12},        {8, "x", 11},  // 12: no Gamma prior
                    {9, "a", 13},        {9, "-1", 14},       {9, "-nan", 14},     {9, "0", kPasses},
                    {10, "b", 16},       {10, "-1", 17},      {10, "0", kPasses},
                    {11, "c", 20},       {11, "-1", 23},      {11, "0", kPasses},
                    {12, "a", 39},       {12, "*", kPasses},  {12, "-", 39},
                    {13, "b", 39},       {13, "-1", 40},      {13, "0", kPasses},  {13, "*", kPasses},
                    {14, "", kPasses},
                });
    // An absent lower bound counts as -999.
    Lines lines = prior_sampling_file(w);
    lines[11] = "*";
    check_cases(w, lines, "4", {{13, "-998", kPasses}, {13, "-999", kPasses}, {13, "-1000", 40}});
    // 14 lines are too few although only 13 are read; the first failing line wins.
    lines = prior_sampling_file(w);
    lines.pop_back();
    EXPECT_EQ(error_of(w, lines, "4"), expected_bytes(0));
    lines = prior_sampling_file(w);
    lines[8] = "-1";
    lines[9] = "-1";
    lines[12] = "x";
    EXPECT_EQ(error_of(w, lines, "4"), expected_bytes(14));
    lines[5] = "p";
    EXPECT_EQ(error_of(w, lines, "4"), expected_bytes(11));
}

TEST(LoadType5, EveryCheckInLineOrder) {
    WorkDir w;
    check_cases(w, tail_methods_file(w), "5",
                {
                    {3, "27", 7},        {3, "36", 7},        {3, "34", kPassesToTask35},  // task 34 over no series ("*"): code 3 too
                    {5, "1", 59},        {5, "", 59},         {5, "*", 60},        {5, "hill", 60},
                    {5, "HW", kPassesToTask35},  {5, "EMV", kPassesToTask35}, {5, "HillG", kPassesToTask35},
                    {5, "Zipf", kPassesToTask35},
                    {6, "x", 28},        {6, "-1", 29},       {6, "0", kPassesToTask35},
                    {7, "x", 30},        {7, "-1", 31},       {7, "1", 32},
                    {7, "2", kPassesToTask35},   {7, "0", kPassesToTask35},
                    {8, "q", 37},        {8, "-0.5", 38},     {8, "1.5", 38},
                    {8, "0", kPassesToTask35},   {8, "1", kPassesToTask35},
                });
    // excessHigh 0 means no upper bound, whatever excessLow is.
    Lines lines = tail_methods_file(w);
    lines[5] = "10";
    check_cases(w, lines, "5", {{7, "0", kPassesToTask35}, {7, "5", 32}, {7, "10", kPassesToTask35}});
    lines[6] = "5";
    lines[7] = "2";
    EXPECT_EQ(error_of(w, lines, "5"), expected_bytes(32));
    lines[4] = "*";
    EXPECT_EQ(error_of(w, lines, "5"), expected_bytes(60));
}

TEST(LoadType5, ListLengthFollowsTheNumberOfLines) {
    WorkDir w;
    Lines badSecond = tail_methods_file(w, {"Hill", "1", "Zipf"});
    Lines badTwelfth = tail_methods_file(w, repeated("EMV", 12));
    badTwelfth[15] = "nope";
    Lines seven = tail_methods_file(w);
    seven.erase(seven.begin() + 4);
    Lines threeWithBadLow = tail_methods_file(w, {"Hill", "Zipf", "Hill"});
    threeWithBadLow[7] = "x";  // the lowest number of excesses, line L - 2
    const std::vector<std::pair<Lines, int>> cases = {
        {tail_methods_file(w, {"Hill", "Zipf", "Hill"}), kPassesToTask35},
        {threeWithBadLow, 28},
        {badSecond, 59},
        {tail_methods_file(w, repeated("HillG", 11)), kPassesToTask35},
        {tail_methods_file(w, repeated("HillG", 12)), 0},
        {badTwelfth, 0},
        {seven, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(error_of(w, cases[i].first, "5"), expected_bytes(cases[i].second)) << "case " << i;
}

}  // namespace
}  // namespace evstat::e2e
