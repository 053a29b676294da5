#include "driver/run.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>
#include <type_traits>
#include <variant>

#include "driver/tasks.h"
#include "input/parameter_file.h"
#include "records/errors.h"

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
void report_without_directory(const RunFiles& files, Erreur code,
                              const std::string& parameterPath) {
    const std::string errorFile = error_file_name(folder_of(parameterPath));
    if (!parameterPath.empty() && !files.is_parameter_file(errorFile))
        ErrorReporter{}.write(errorFile, code);
}

// The ParameterFile as an absolute path, formed before the loader changes the directory.
std::string absolute_path(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return ignored ? path : absolute.string();
}

// The common frame of the record; none before a loader has started.
const CommonFrame* frame_of(const RunRecord& record) {
    return std::visit(
        [](const auto& parameters) -> const CommonFrame* {
            if constexpr (std::is_same_v<std::decay_t<decltype(parameters)>, std::monostate>)
                return nullptr;
            else
                return &parameters.frame;
        },
        record);
}

// The error file of a caught failure: in the working directory once line 1 has been
// read, else beside the ParameterFile.
void report(const RunFiles& files, const RunRecord& record, Erreur failure,
            const std::string& parameterPath) {
    const std::string line = error_line(failure);
    std::fprintf(stderr, "%s\n", line.c_str());
    const CommonFrame* frame = frame_of(record);
    const std::string errorFile =
        frame == nullptr ? std::string() : error_file_name(frame->directory);
    const bool written = frame != nullptr && frame->directoryRead &&
                         !files.is_parameter_file(errorFile) &&
                         ErrorReporter{}.write(errorFile, failure);
    if (!written) report_without_directory(files, failure, parameterPath);
}

}  // namespace

int run(int argc, char** argv, std::optional<std::uint32_t> seed, const WorkBounds& bounds) {
    const int threads =
        thread_count(std::getenv("EVSTAT_THREADS"), std::thread::hardware_concurrency());
    RunContext context;
    context.bounds = bounds;
    RunRecord record;
    std::string parameterPath;
    try {
        if (argc < 3)
            throw with_detail(Erreur::TooFewArguments,
                              "il faut le chemin du fichier Tmp*.txt puis le type de chargement");
        parameterPath = argv[1];
        for (int i = 2; i < argc - 1; ++i) parameterPath += std::string(" ") + argv[i];
        std::fputs(parameterPath.c_str(), stdout);
        std::fflush(stdout);
        const int loadType = read_load_type(argv[argc - 1]);
        context.files = RunFiles(absolute_path(parameterPath));
        if (!load_parameter_file(loadType, parameterPath, record)) return 0;  // loads nothing, runs nothing

        context.generator =
            Generator(seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr)));
        WorkerPool pool(threads);
        context.pool = &pool;
        std::visit(
            [&context](const auto& parameters) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(parameters)>, std::monostate>)
                    run_task(parameters, context);
            },
            record);
    } catch (Erreur failure) {
        report(context.files, record, failure, parameterPath);
        return 1;
    }
    return 0;
}

}  // namespace evstat
