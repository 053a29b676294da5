// What the Windows build does of its own: paths with drive letters and backslashes (and no
// "/" path), file names formed by appending to the directory text, three exponent digits
// whatever the run-time library's environment, "\r\n" line ends in the files written.
#include <cstdlib>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

Lines describe_file(const WorkDir& w) {
    return {w.dir(), "data.txt", "5", w.dir() + "Result1.txt", "*", "*", "*", "*", "0", "0", "0"};
}

std::string error_of(const WorkDir& w, const Lines& lines) {
    w.write_lines("Tmp1.txt", lines);
    std::filesystem::remove(w.file("Erreur.txt"));
    std::filesystem::remove(w.file("Result1.txt"));
    w.run("Tmp1.txt", "1");
    return w.exists("Erreur.txt") ? w.bytes("Erreur.txt") : std::string();
}

const std::string kNotAPath = cp1252("Le nom de chemin doit être une chaine de caractères.");
const std::string kNotAFileName =
    cp1252("Le nom de fichier de données doit être une chaîne de caractères.");
const std::string kNoSuchFile = cp1252("Le fichier spécifié est introuvable ou n'existe pas.");

TEST(WindowsPaths, DriveLettersAndBackslashesOnLines1To4AndNoSlashPath) {
    WorkDir w;
    w.write("data.txt", "3\n1\n2\n");
    std::string lowerDrive = w.dir();
    lowerDrive[0] = 'z';
    std::string forwardSlashes = w.dir();
    for (char& c : forwardSlashes)
        if (c == '\\') c = '/';
    struct Case {
        int line;
        std::string text;
        std::string error;  // "" when the task runs
    };
    const std::vector<Case> cases = {
        {2, w.engine_file("data.txt"), ""},
        {1, lowerDrive, ""},
        {1, forwardSlashes, ""},
        {1, w.host_dir(), kNotAPath},  // a path from the root of the drive is refused
        {1, w.dir().substr(2), kNotAPath},
        {2, w.host_dir() + "data.txt", kNotAFileName},
        {4, w.host_dir() + "Result1.txt", kNotAFileName},
    };
    for (const Case& c : cases) {
        Lines lines = describe_file(w);
        lines[static_cast<std::size_t>(c.line - 1)] = c.text;
        EXPECT_EQ(error_of(w, lines), c.error) << "line " << c.line << " '" << c.text << "'";
        if (c.error.empty()) {
            EXPECT_TRUE(w.exists("Result1.txt")) << c.text;
        }
    }
}

TEST(WindowsPaths, FileNamesAreTheDirectoryTextFollowedByTheName) {
    WorkDir w;
    std::filesystem::create_directory(w.file("sub"));
    Lines lines = describe_file(w);
    lines[0] = w.dir() + "sub";  // no closing backslash: the names run on from "sub"
    w.write_lines("Tmp1.txt", lines);
    w.run("Tmp1.txt", "1");
    // data.txt is looked for in sub, the current directory, and is not there.
    EXPECT_EQ(w.bytes("subErreur.txt"), kNoSuchFile);
    EXPECT_FALSE(w.exists("sub/Erreur.txt"));
}

TEST(WindowsNumbers, ThreeExponentDigitsWhateverTheEnvironmentAndTextModeLineEnds) {
    WorkDir w;
    // The density of the standard normal law at -1, -0.5, 0, 0.5 and 1.
    const Lines lines = {w.dir(), "*", "2", w.dir() + "Result1.txt", "Normale", "0", "1", "*",
                         "-1", "1", "4"};
    const std::vector<std::string> xs = {"-1.00000000000000000e+000", "-5.00000000000000000e-001",
                                         "0.00000000000000000e+000", "5.00000000000000000e-001",
                                         "1.00000000000000000e+000"};
    // The run-time library's own printf reads PRINTF_EXPONENT_DIGITS; the engine does not.
    for (const char* digits : {"", "2"}) {
        if (*digits != '\0') ::setenv("PRINTF_EXPONENT_DIGITS", digits, 1);
        w.write_lines("Tmp1.txt", lines);
        w.run("Tmp1.txt", "1");
        ::unsetenv("PRINTF_EXPONENT_DIGITS");
        const std::string bytes = w.bytes("Result1.txt");
        std::istringstream in(bytes);
        std::size_t count = 0;
        for (std::string line; std::getline(in, line); ++count) {
            ASSERT_LT(count, xs.size()) << digits;
            EXPECT_EQ(line.substr(0, line.find('\t')), xs[count]) << digits;
            EXPECT_EQ(line.back(), '\r') << "a line end in text mode";
            EXPECT_EQ(line.size(), 24 + 1 + 24 + 1 + (count < 2 ? 1 : 0));
        }
        EXPECT_EQ(count, xs.size()) << digits;
    }
}

}  // namespace
}  // namespace evstat::e2e
