#include "driver/run.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

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
// message then goes to standard error, and beside the ParameterFile when its path is known.
void report_without_directory(Erreur code, const std::string& parameterPath) {
    const std::string_view message = error_message(code);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    if (!parameterPath.empty()) ErrorReporter{}.write(folder_of(parameterPath) + "Erreur.txt", code);
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
    RunContext context;
    RunParameters& parameters = context.parameters;
    std::string parameterPath;
    try {
        if (argc < 3) throw Erreur::TooFewArguments;
        parameterPath = argv[1];
        for (int i = 2; i < argc - 1; ++i) parameterPath += std::string(" ") + argv[i];
        std::fputs(parameterPath.c_str(), stdout);
        std::fflush(stdout);
        context.loadType = read_load_type(argv[argc - 1]);

        switch (context.loadType) {
            case 1:
                load_parameter_file_1(parameterPath, parameters);
                context.lawCode = law_code_from_name(parameters.lawName);
                if (context.lawCode == kUnknownLaw && parameters.lawName != "*")
                    throw Erreur::UnknownLaw;
                break;
            case 2: load_parameter_file_2(parameterPath, parameters); break;  // tasks map the names
            case 4:
                load_parameter_file_4(parameterPath, parameters);
                // An unknown name is not refused here. The shape flag needs the Weibull code
                // and the name "WeibullForme" at once.
                context.lawCode = law_code_from_name(parameters.lawName);
                context.weibullShapeFlag =
                    context.lawCode == kWeibull && parameters.lawName == "WeibullForme" ? 1 : 0;
                break;
            case 5: load_parameter_file_5(parameterPath, parameters); break;
            default: return 0;  // loads nothing, runs nothing
        }

        set_seed(seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr)));
        run_task(context);
    } catch (Erreur code) {
        const bool written = parameters.directoryRead &&
                             ErrorReporter{}.write(parameters.directory + "Erreur.txt", code);
        if (!written) report_without_directory(code, parameterPath);
        return 1;
    }
    return 0;
}

}  // namespace evstat
