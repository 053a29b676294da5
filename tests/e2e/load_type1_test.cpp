// The driver and the LoadType 1 ParameterFile, seen from the front end: the echo, the
// error file of every code they raise, the order of the checks, what passes.
#include <map>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

// A valid task 2 file over the normal law; tests change one line at a time.
std::vector<std::string> curve_file(const WorkDir& w) {
    return {w.dir(), "*", "2", w.dir() + "Result1.txt", "Normale", "0", "1", "*", "-1", "1", "4"};
}

std::vector<std::string> describe_file(const WorkDir& w) {
    return {w.dir(), "data.txt", "5", w.dir() + "Result1.txt", "*", "*", "*", "*", "0", "0", "0"};
}

// Runs a LoadType 1 file and returns the error file's bytes ("" when there is none).
std::string error_of(const WorkDir& w, const std::vector<std::string>& lines) {
    w.write_lines("Tmp1.txt", lines);
    std::filesystem::remove(w.file("Erreur.txt"));
    w.run("Tmp1.txt", "1");
    return w.exists("Erreur.txt") ? w.read("Erreur.txt") : std::string();
}

const std::map<int, std::string> kMessages = {
    {0, "Votre fichier Tmp*.txt ne contient pas toutes les informations nécessaires. Le type de chargement peut être incorrect."},
    {1, "Le chemin spécifié n'existe pas."},
    {2, "Le nom de chemin doit être une chaine de caractères."},
    {3, "Le fichier spécifié est introuvable ou n'existe pas."},
    {4, "Le nom de fichier de données doit être une chaîne de caractères."},
    {5, "Le numéro de tâche doit être compris entre 1 et 40."},
    {6, "Le numéro de tache doit être un nombre entier."},
    {7, "Le numero de tache ne corre^spond pas à ce type de chargement (cf documentation technique)."},
    {9, "Le nom de loi spécifié est absent du catalogue de modèles (cf documentation technique)."},
    {10, "Le nom de la loi doit être une chaîne de caractère."},
    {11, "Les paramètres de la loi ne doit pas contenir de caractères alphabétiques."},
    {12, "Valeurs des paramètres non valides."},
    {13, "La taille de l'échantillon doit être un nombre entier."},
    {14, "La taille de l'échantillon doit être supérieure ou égale à 1."},
    {15, "La borne inférieure ne doit pas contenir de caractères alphabétiques."},
    {16, "Le nombre d'échantillons souhaités doit être un nombre entier."},
    {17, "Le nombre d'échantillons doit être supérieur ou égal à 1."},
    {18, "La borne supérieure ne doit pas contenir de caractères alphabétiques."},
    {19, "La borne supérieure doit être supérieure à la borne inférieure."},
    {20, "Le nombre de classes de l'histogramme doit être un nombre entier."},
    {21, "Le nombre de points doit être un nombre entier."},
    {22, "Le nombre de points doit être supérieur ou égal à 1."},
    {23, "Le nombre de classes de l'histogramme doit être supérieur ou égal à 1."},
    {66, "Le programme ne contient pas assez d'arguments."},
    {68, "Le fichier de résultats ne peut pas être écrit."},
};

std::string message(int code) { return cp1252(kMessages.at(code)); }

TEST(LoadType1, EchoesTheJoinedPathAndRunsTheTask) {
    WorkDir w;
    w.write("data.txt", "1\n");
    w.write_lines("Tmp1.txt", describe_file(w));
    const RunOutput out = w.run("Tmp1.txt", "1");
    EXPECT_EQ(out.standardOutput, w.engine_file("Tmp1.txt"));
    EXPECT_EQ(out.status, 0);
    EXPECT_FALSE(w.exists("Erreur.txt"));
}

TEST(LoadType1, ErrorFileHoldsTheMessageAloneInWindows1252) {
    WorkDir w;
    auto lines = curve_file(w);
    lines[4] = "Inconnue";
    const std::string bytes = error_of(w, lines);
    EXPECT_EQ(bytes.size(), 87u);
    EXPECT_EQ(bytes, message(9));
    // A later failure replaces the earlier message.
    lines[2] = "0";
    EXPECT_EQ(error_of(w, lines), message(5));
}

struct LineCase {
    int line;  // 1-based
    std::string text;
    int code;  // -1: passes
};

void check_cases(const WorkDir& w, const std::vector<std::string>& base,
                 const std::vector<LineCase>& cases) {
    for (const LineCase& c : cases) {
        auto lines = base;
        lines[static_cast<std::size_t>(c.line - 1)] = c.text;
        const std::string expected = c.code < 0 ? std::string() : message(c.code);
        EXPECT_EQ(error_of(w, lines), expected) << "line " << c.line << " '" << c.text << "'";
    }
}

TEST(LoadType1, EveryCheckOfTheCurveLayout) {
    WorkDir w;
    w.write("data.txt", "1\n2\n");
    std::filesystem::create_directory(w.file("sub"));
    check_cases(w, curve_file(w),
                {
                    {1, "1abc/", 2},
                    {1, "./", 2},
                    {1, "", 2},
                    {1, w.dir() + "absent/", 1},
                    {2, "1data.txt", 4},
                    {2, "absent.txt", 3},
                    {2, "Tous", 3},  // passes the loader; task 2 then finds no file "Tous" to read
                    {2, "data.txt", -1},
                    {3, "T1", 6},
                    {3, "*", 6},
                    {3, "0", 5},
                    {3, "47", 5},
                    {3, "9", 7},
                    {3, "25", 7},
                    {3, "26", 3},  // accepted; task 26 then finds no numbered data file
                    {3, "2.9", -1},
                    {4, "1result", 4},
                    {4, "*", kWindowsEngine ? 68 : -1},  // Windows allows no file named "*"
                    {5, "1law", 10},
                    {5, "normale", 9},
                    {6, "abc", 11},
                    {6, "-", 11},
                    {6, "0 remark", -1},
                    {8, "x", 11},
                    {9, "a", 15},
                    {9, "*", 15},
                    {10, "b", 18},
                    {10, "-2", 19},
                    {10, "-1", -1},
                    {11, "c", 21},
                    {11, "-1", 22},
                    {11, "0", -1},
                });
}

TEST(LoadType1, EveryCheckOfTheSamplingLayout) {
    WorkDir w;
    w.write("data.txt", "1\n2\n");
    auto simulate = describe_file(w);
    simulate[2] = "1";
    simulate[4] = "Normale";
    simulate[5] = "0";
    simulate[6] = "1";
    simulate[8] = "10";
    simulate[9] = "1";
    check_cases(w, simulate,
                {
                    {9, "a", 13},
                    {9, "-1", 14},
                    {10, "b", 16},
                    {10, "-1", 17},
                    {11, "c", 20},
                    {11, "-1", 23},
                });
    // Task 5: the sizes are not checked for sign, the classes are.
    check_cases(w, describe_file(w),
                {
                    {5, "*", -1},
                    {5, "Normale", -1},
                    {9, "-1", -1},
                    {10, "-1", -1},
                    {11, "-1", 23},
                    {9, "x", 13},
                });
}

TEST(LoadType1, TheFirstFailingLineWins) {
    WorkDir w;
    auto lines = curve_file(w);
    lines[2] = "99";      // code 5 on line 3 ...
    lines[4] = "1law";    // ... before code 10 on line 5
    lines[10] = "x";
    EXPECT_EQ(error_of(w, lines), message(5));
    lines = curve_file(w);
    lines[5] = "a";       // 11 on line 6 before 15 on line 9
    lines[8] = "b";
    EXPECT_EQ(error_of(w, lines), message(11));
}

TEST(LoadType1, LineCountsAndLineEnds) {
    WorkDir w;
    w.write("data.txt", "3\n1\n2\n");
    auto lines = describe_file(w);
    lines.pop_back();
    // 10 lines: an early failure, reported beside the ParameterFile.
    EXPECT_EQ(error_of(w, lines), message(0));
    // A last line without a line end, CRLF line ends, and ignored lines after line 11.
    std::string content;
    for (const std::string& line : describe_file(w)) content += line + "\r\n";
    content += "extra\r\nlines";
    w.write("Tmp1.txt", content.substr(0, content.size()));
    std::filesystem::remove(w.file("Erreur.txt"));
    w.run("Tmp1.txt", "1");
    EXPECT_FALSE(w.exists("Erreur.txt"));
    const std::string crlfResult = w.read("Result1.txt");
    EXPECT_FALSE(crlfResult.empty());

    std::string unterminated;
    for (const std::string& line : describe_file(w)) unterminated += line + "\n";
    unterminated.pop_back();
    w.write("Tmp1.txt", unterminated);
    std::filesystem::remove(w.file("Result1.txt"));
    w.run("Tmp1.txt", "1");
    EXPECT_FALSE(w.exists("Erreur.txt"));
    EXPECT_EQ(w.read("Result1.txt"), crlfResult);
}

TEST(LoadType1, LongLinesContinueInTheNextSlot) {
    WorkDir w;
    auto lines = curve_file(w);
    // A law name line of exactly 80 characters stays one line (then fails as unknown).
    lines[4] = "Normale" + std::string(73, 'x');
    EXPECT_EQ(error_of(w, lines), message(9));
    // 81 characters: the 81st becomes line 6 and shifts every later line.
    lines[4] = std::string(80, 'N') + "a";
    EXPECT_EQ(error_of(w, lines), message(11));
}

TEST(Driver, TooFewWordsAndLoadTypesThatLoadNothing) {
    WorkDir w;
    RunOutput out = w.run_arguments({w.file("Tmp1.txt")});
    EXPECT_EQ(out.standardOutput, "");
    // No directory to write the file in: the line on standard error alone.
    const std::string line66 = "Erreur 66 : Le programme ne contient pas assez d'arguments.";
    EXPECT_EQ(out.standardError.substr(0, line66.size()), line66);
    EXPECT_EQ(out.standardError.back(), '\n');
    EXPECT_NE(out.status, 0);
    EXPECT_FALSE(w.exists("Erreur.txt"));
    out = w.run_arguments({});
    EXPECT_EQ(out.standardError.substr(0, line66.size()), line66);

    w.write_lines("Tmp1.txt", curve_file(w));
    for (const std::string loadType : {"0", "6", "abc"}) {
        out = w.run("Tmp1.txt", loadType);
        EXPECT_EQ(out.standardOutput, w.engine_file("Tmp1.txt"));
        EXPECT_EQ(w.files(), std::vector<std::string>{"Tmp1.txt"}) << loadType;
    }
}

TEST(Driver, MissingParameterFileIsReportedBesideIt) {
    WorkDir w;
    const RunOutput out = w.run("Tmp7.txt", "1");
    EXPECT_EQ(out.standardOutput, w.engine_file("Tmp7.txt"));
    EXPECT_EQ(w.read("Erreur.txt"), message(3));
}

}  // namespace
}  // namespace evstat::e2e
