// The ParameterFile of LoadType 3 seen from the front end: the error file of every check,
// in file order, and the values that pass (a passing file runs task 25 to its end over a
// short exponential series and leaves no error file).
#include <map>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

const std::map<int, std::string> kMessages = {
    {0, "Votre fichier Tmp*.txt ne contient pas toutes les informations nécessaires. Le type de chargement peut être incorrect."},
    {7, "Le numero de tache ne corre^spond pas à ce type de chargement (cf documentation technique)."},
    {9, "Le nom de loi spécifié est absent du catalogue de modèles (cf documentation technique)."},
    {10, "Le nom de la loi doit être une chaîne de caractère."},
    {12, "Valeurs des paramètres non valides."},
    {11, "Les paramètres de la loi ne doit pas contenir de caractères alphabétiques."},
    {24, "Le nombre d'excès doit être un nombre entier."},
    {25, "Le nombre d'excès doit être supérieur ou égal à 2."},
    {26, "Le niveau du test doit ne doit pas comporter de caractères alphabétiques."},
    {27, "Le niveau du test ne peut prendre que des valeurs bien définies (cf documentation technique)."},
    {37, "L'ordre du quantile ne doit pas comporter de caractères alphabétiques."},
    {38, "L'ordre du quantile doit être compris entre 0 et 1 strictement."},
    {39, "Les paramètres de la loi beta a priori ne doivent pas comporter de caractères alphabétiques."},
    {40, "La borne supérieure de l'intervalle de défnition de la loi beta a priori ne peut pas être inférieure à la borne inférieure."},
    {41, "Le champ qui spécifie si les données ont été simulées doit être un nombre entier."},
    {42, "La variable qui indique si les données sont simulées ne peut prendre que des valeurs spécifiques (cf documentation)."},
    {43, "Le nom de la loi de simulation doit être une chaîne de caractères."},
    {45, "La variable spécifiant l'utilisation d'un avis d'expert ne doit pas comporter de caractères alphabétiques."},
    {46, "La variable spécifiant l'utilisation d'un avis d'expert ne peut prendre que des valeurs spécifiques (cf documentation technique)"},
    {47, "Le quantile maximum donné par l'expert doit être un nombre réel."},
    {48, "Le borne inférieure du risque ne doit être un nombre réel."},
    {49, "La borne inférieure du risque doit être comprise entre 0 et 1 strictement."},
    {50, "Le borne supérieure du risque ne doit être un nombre réel."},
    {51, "La borne supérieure du risque doit être comprise entre 0 et 1 strictement."},
    {52, "Le risque p2 doit être inférieur au risque p1."},
    {53, "Le niveau de défiance doit être un nombre réel."},
    {54, "Le niveau de défiance doit être compris entre 0 et 1 strictement"},
    {55, "La confiance accordée à l'expert doit être une chaîne de caractères."},
    {56, "La confiance accordée à l'expert ne peut prendre que des valeurs spécifiques (cf documentation technique)."},
    {57, "Le nom du test central utilisé doit être une chaine de caractères."},
    {58, "Le nom du test utilisé ne peut prendre que des valeurs spécifiques (cf documentation technique)."},
};

constexpr int kPasses = -1;
// The loader passes; the statement then gives the task no usable prior (c = 0, or equal or
// infinite interval ends).
constexpr int kNoPrior = 12;
using Lines = std::vector<std::string>;

// A file that passes every check: the exponential law with the expert's statement
// P(X > 3) between 0.1 and 0.05.
Lines expert_file(const WorkDir& w) {
    return {w.dir(), "serie.txt", "25", w.dir() + "Result1.txt", "Exponentielle", "*", "*", "0", "*",
            "*", "*", "*", "1", "3", "0.1", "0.05", "0.05", "Moyenne", "CVM", "0.05", "0.1",
            "5", "0.01", "0.001", "0", "0", "0", "0"};
}

TEST(LoadType3, EveryCheckInFileOrder) {
    WorkDir w;
    std::string series;
    for (int i = 1; i <= 20; ++i) series += std::to_string(0.1 * i * i) + "\n";
    w.write("serie.txt", series);
    struct Case { int line; std::string text; int code; };
    const std::vector<Case> cases = {
        {3, "24", 7},         {3, "25", kPasses},
        {5, "1law", 10},      {5, "*", 9},          {5, "Inconnue", 9},
        {6, "a", 39},         {6, "0.5", kPasses},  {7, "b", 39},
        {7, "-1", kPasses},   // not below the absent lower bound, -999
        {8, "x", 41},         {8, "2", 42},         {8, "-1", 42},       {8, "1", 9},
        {9, "1", 43},         {9, "", 43},          {10, "p", 11},       {12, "1e", kPasses},
        {13, "e", 45},        {13, "2", 46},        {13, "0", kPasses},
        {14, "q", 47},        {14, "*", kNoPrior},
        {15, "r", 48},        {15, "-0.1", 49},     {15, "1.1", 49},     {15, "0.05", kNoPrior},
        {16, "s", 50},        {16, "-0.1", 51},     {16, "1.5", 51},     {16, "0.2", 52},
        {16, "0.1", kNoPrior}, {16, "*", kNoPrior},
        {17, "d", 53},        {17, "*", 53},        {17, "-0.5", 54},    {17, "1.5", 54},
        {18, "5", 55},        {18, "moyenne", 56},  {18, "Forte", kPasses}, {18, "*", kPasses},
        {19, "*", 57},        {19, "1", 57},        {19, "ad", 58},      {19, "AD", kPasses},
        {20, "n", 26},        {20, "0", 27},        {20, "0.5", 27},     {21, "0", 27},
        {21, "0.25", kPasses},
        {22, "k", 24},        {22, "-3", 25},
        {23, "o", 37},        {23, "1.5", 38},      {24, "x", 37},       {28, "-0.2", 38},
        {28, "1", kPasses},
    };
    for (const Case& c : cases) {
        Lines lines = expert_file(w);
        lines.at(static_cast<std::size_t>(c.line - 1)) = c.text;
        w.write_lines("Tmp1.txt", lines);
        std::filesystem::remove(w.file("Erreur.txt"));
        std::filesystem::remove(w.file("Result1.txt"));
        w.run_seeded("Tmp1.txt", "3", 7);
        const std::string expected = c.code == kPasses ? "" : cp1252(kMessages.at(c.code));
        EXPECT_EQ(w.read("Erreur.txt"), expected) << "line " << c.line << " '" << c.text << "'";
        // A refused file writes nothing else.
        if (c.code != kPasses) {
            EXPECT_FALSE(w.exists("Result1.txt")) << "line " << c.line;
        }
    }
    // 27 lines are too few; the first failing line decides among two faults.
    Lines shortFile = expert_file(w);
    shortFile.pop_back();
    w.write_lines("Tmp1.txt", shortFile);
    w.run("Tmp1.txt", "3");
    EXPECT_EQ(w.read("Erreur.txt"), cp1252(kMessages.at(0)));
    Lines twoFaults = expert_file(w);
    twoFaults[15] = "0.2";
    twoFaults[18] = "CV";
    w.write_lines("Tmp1.txt", twoFaults);
    w.run("Tmp1.txt", "3");
    EXPECT_EQ(w.read("Erreur.txt"), cp1252(kMessages.at(52)));
}

}  // namespace
}  // namespace evstat
