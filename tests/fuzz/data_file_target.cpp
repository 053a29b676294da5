// Fuzz target: the data-file reader. Input: the bytes of a data file, written into the
// scratch directory and read both as a series and as abscissas. The two readings must
// accept or refuse the file together and agree on every value; the series ranks run
// 1, 2, ..., n, the abscissas carry 0, and a file accepted holds finite numbers only.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "driver/files.h"
#include "fuzz_support.h"
#include "records/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace evstat;
    using namespace evstat::fuzz;
    const ScratchDirectory& work = scratch();
    const std::string path = work.file("data.txt");
    work.write("data.txt", as_text(data, size));

    Series series;
    Sample abscissas;
    bool seriesRead = false;
    bool abscissasRead = false;
    try {
        read_series(path, series);
        seriesRead = true;
    } catch (Erreur) {
    }
    try {
        read_abscissas(abscissas, path);
        abscissasRead = true;
    } catch (Erreur) {
    }
    if (seriesRead != abscissasRead) broken("one reading refused what the other took");
    if (static_cast<int>(series.size()) != abscissas.size()) broken("the two readings differ in length");
    if (seriesRead && series.empty()) broken("a file without numbers read as a series");
    auto value = abscissas.begin();
    for (const double x : series) {
        if (value->y != 0.0) broken("abscissa with a second coordinate");
        if (seriesRead && !std::isfinite(x)) broken("a value that is not finite read");
        const bool same = x == value->x || (x != x && value->x != value->x);
        if (!same) broken("the two readings differ in a value");
        ++value;
    }
    work.empty();
    return 0;
}
