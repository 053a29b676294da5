#include "driver/run.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "driver/files.h"
#include "driver/tasks.h"
#include "input/errors.h"
#include "input/parameter_file.h"
#include "laws/generator.h"

namespace evstat {

namespace {
// The LoadType as atoi reads the last word: leading digits, 0 when there are none.
int read_load_type(const char* word) {
    const long long value = std::strtoll(word, nullptr, 10);
    if (value > INT_MAX || value < INT_MIN) return 0;
    return static_cast<int>(value);
}

// The folder of the ParameterFile (with its separator), or "" for the current directory.
// On Windows a folder ends at a backslash, a slash or the colon of a drive ("C:Tmp1.txt").
std::string folder_of(const std::string& path) {
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("\\/:");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A failure before line 1 is read has no working directory to name the error file, and
// a directory line that names no place (codes 1 and 2) leaves none to write in: the
// message then goes beside the ParameterFile when its path is known.
void report_without_directory(Erreur code, const std::string& parameterPath) {
    const std::string errorFile = folder_of(parameterPath) + "Erreur.txt";
    if (!parameterPath.empty() && !is_parameter_file(errorFile)) ErrorReporter{}.write(errorFile, code);
}

// The ParameterFile as an absolute path, formed before the loader changes the directory.
std::string absolute_path(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return ignored ? path : absolute.string();
}

// LoadType 3: the two Weibull words choose the law and whether the prior is on its
// shape; every other name, "*" included, must be in the catalogue, as must the
// simulation law of a simulated series.
void resolve_load_type_3_names(RunContext& context) {
    const RunParameters& p = context.parameters;
    const bool shape = p.lawName == "WeibullForme";
    if (shape || p.lawName == "WeibullEchelle") {
        context.lawCode = kWeibull;
        context.weibullShapeFlag = shape ? 1 : 0;
    } else {
        context.lawCode = law_code_from_name(p.lawName);
        if (context.lawCode == kUnknownLaw) throw Erreur::UnknownLaw;
    }
    if (p.simulated == 1) {
        context.simulationLawCode = law_code_from_name(p.simulationLaw);
        if (context.simulationLawCode == kUnknownLaw) throw Erreur::UnknownLaw;
    }
    context.testSelector = p.testName == "AD" ? 1 : 2;
}

int required_parameter_count(LawCode code) {
    switch (code) {
        case kExponential:
        case kChiSquare:
        case kStudent: return 1;
        default: return 2;
    }
}
}  // namespace

bool law_parameters_valid(LawCode code, const ValueList& parameters) {
    if (code < kUniform || code > kGpd) return false;
    if (parameters.size() < required_parameter_count(code)) return false;
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case kUniform: return p2 > p1;
        case kExponential: return p1 > 0.0;
        case kGamma: return p1 > 0.0 && p2 >= 0.0;
        case kChiSquare: return p1 > 0.0;
        case kNormal: return p2 > 0.0;
        case kStudent: return true;
        case kBeta:
        case kWeibull:
        case kPareto: return p1 > 0.0 && p2 > 0.0;
        case kLognormal:
        case kGpd: return p2 > 0.0;
        default: return false;
    }
}

int run(int argc, char** argv, std::optional<std::uint32_t> seed) {
    const int threads =
        thread_count(std::getenv("EVSTAT_THREADS"), std::thread::hardware_concurrency());
    RunContext context;
    RunParameters& parameters = context.parameters;
    std::string parameterPath;
    clear_error_detail();
    protect_parameter_file({});
    try {
        if (argc < 3)
            throw with_detail(Erreur::TooFewArguments,
                              "il faut le chemin du fichier Tmp*.txt puis le type de chargement");
        parameterPath = argv[1];
        for (int i = 2; i < argc - 1; ++i) parameterPath += std::string(" ") + argv[i];
        std::fputs(parameterPath.c_str(), stdout);
        std::fflush(stdout);
        context.loadType = read_load_type(argv[argc - 1]);
        parameters.parameterFile = absolute_path(parameterPath);
        protect_parameter_file(parameters.parameterFile);

        switch (context.loadType) {
            case 1:
                load_parameter_file_1(parameterPath, parameters);
                context.lawCode = law_code_from_name(parameters.lawName);
                if (context.lawCode == kUnknownLaw && parameters.lawName != "*")
                    throw with_detail(Erreur::UnknownLaw, "loi \"" + parameters.lawName + "\"");
                break;
            case 2: load_parameter_file_2(parameterPath, parameters); break;  // tasks map the names
            case 3:
                load_parameter_file_3(parameterPath, parameters);
                resolve_load_type_3_names(context);
                break;
            case 4:
                load_parameter_file_4(parameterPath, parameters);
                // An unknown name is not refused here (task 27 refuses a law it cannot
                // draw from). "WeibullForme" puts the prior on the Weibull shape, and
                // "WeibullEchelle", like "Weibull", on its scale.
                context.lawCode = law_code_from_name(parameters.lawName);
                context.weibullShapeFlag = parameters.lawName == "WeibullForme" ? 1 : 0;
                if (parameters.lawName == "WeibullForme" || parameters.lawName == "WeibullEchelle")
                    context.lawCode = kWeibull;
                break;
            case 5: load_parameter_file_5(parameterPath, parameters); break;
            default: return 0;  // loads nothing, runs nothing
        }

        set_seed(seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr)));
        WorkerPool pool(threads);
        context.pool = &pool;
        run_task(context);
    } catch (Erreur code) {
        const std::string line = error_line(code);
        std::fprintf(stderr, "%s\n", line.c_str());
        const std::string errorFile = parameters.directory + "Erreur.txt";
        const bool written = parameters.directoryRead && !is_parameter_file(errorFile) &&
                             ErrorReporter{}.write(errorFile, code);
        if (!written) report_without_directory(code, parameterPath);
        return 1;
    }
    return 0;
}

}  // namespace evstat
