// Fuzz target: the ParameterFile reader and the loaders of every LoadType.
// Input: a first line "1" to "5" (the LoadType), then the ParameterFile itself, whose
// lines that begin with '@' name the scratch directory (see fuzz_support.h). The file is
// written into the scratch directory beside a small data file "data.txt", read into a line
// table and loaded; whatever the
// loader accepts must hold the values its checks promise.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <variant>

#include "fuzz_support.h"
#include "input/parameter_file.h"

namespace evstat::fuzz {
namespace {

void check_line_table(const std::string& path) {
    try {
        const LineTable table = LineTable::read(path);
        if (table.line_count() < 0 || table.line_count() > kLineSlots) broken("line count out of the table");
        for (int number = 1; number <= kLineSlots + 1; ++number)
            if (table.line(number).size() > static_cast<std::size_t>(kLineWidth)) broken("line wider than a slot");
    } catch (Erreur) {
    }
}

bool accepted_test_level(double level) {
    for (const double accepted : {0.0, 0.25, 0.1, 0.05, 0.025, 0.01})
        if (level == accepted) return true;
    return false;
}

// What a loader that returned normally has promised.
void check_frame(int loadType, const CommonFrame& frame) {
    if (!frame.directoryRead || !task_accepted(loadType, frame.taskNumber))
        broken("head accepted wrongly");
}

void check_loaded(const LoadType1Parameters& p) {
    check_frame(1, p.frame);
    if (p.lawParameters.size() > 3) broken("more than three law parameters");
    if (p.law.code == LawCode::kUnknown && p.law.name != "*") broken("unknown law accepted");
}

void check_loaded(const LoadType2Parameters& p) {
    check_frame(2, p.frame);
    if (p.laws.empty() || p.laws.size() > static_cast<std::size_t>(kNameTableSize))
        broken("law list out of its table");
    if (!accepted_test_level(p.testLevel)) broken("test level accepted wrongly");
    if (p.excessCount < 0 || p.excessLow < 0 || p.excessHigh < p.excessLow || p.etVersion < 0 ||
        p.etVersion > 3 || p.bootstrapCount < 0)
        broken("closing block accepted wrongly");
    if (!(p.quantileOrder >= 0.0 && p.quantileOrder <= 1.0)) broken("quantile order out of range");
}

void check_loaded(const LoadType3Parameters& p) {
    check_frame(3, p.frame);
    if (p.law.code == LawCode::kUnknown || (p.simulated && p.simulationLaw.code == LawCode::kUnknown))
        broken("unknown law accepted");
}

void check_loaded(const LoadType4Parameters& p) {
    check_frame(4, p.frame);
    if (p.priorParameters.size() > 3) broken("more than three law parameters");
    if (!(p.sampleSize >= 0.0 && p.sampleCount >= 0.0 && p.classCount >= 0))
        broken("negative size accepted");
}

void check_loaded(const LoadType5Parameters& p) {
    check_frame(5, p.frame);
    if (p.methodNames.empty() || p.methodNames.size() > static_cast<std::size_t>(kNameTableSize) ||
        p.methods.size() != p.methodNames.size())
        broken("method list out of its table");
    for (const TailMethod method : p.methods)
        if (method < kTailWeightedMoments || method > kTailZipf) broken("unknown method code");
    if (!(p.quantileOrder >= 0.0 && p.quantileOrder <= 1.0)) broken("quantile order out of range");
}

void check_loaded(const std::monostate&) {}

}  // namespace
}  // namespace evstat::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace evstat;
    using namespace evstat::fuzz;
    std::string_view rest;
    const int loadType = load_type_of(first_line(as_text(data, size), rest));
    if (loadType == 0) return 0;

    const ScratchDirectory& work = scratch();
    const std::string path = work.file("Tmp1.txt");
    work.write("Tmp1.txt", with_scratch_directory(rest, work.dir()));
    work.write("data.txt", "1.5\n2.5\n");  // a data file for the head to find
    check_line_table(path);
    {
        DirectoryRestorer restorer;  // the loader enters the directory of line 1
        RunRecord record;
        bool loaded = false;
        try {
            loaded = load_parameter_file(loadType, path, record);
        } catch (Erreur) {
            const auto* methods = std::get_if<LoadType5Parameters>(&record);
            if (methods != nullptr && !methods->methods.empty())
                broken("method codes after a failure");
        }
        if (loaded) std::visit([](const auto& parameters) { check_loaded(parameters); }, record);
    }
    work.empty();
    return 0;
}
