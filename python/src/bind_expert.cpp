// The expert-opinion study: a law fitted to a series and combined with an expert's statement
// through a conjugate prior into a predictive law, with its tests and quantile tables.
#include <algorithm>
#include <cmath>
#include <string>

#include "binding.h"
#include "expert_adapter.h"

namespace evstat::binding {

namespace {

py::dict study(const py::dict& settings, const DoubleArray& data, Generator& generator) {
    ExpertRequest r;
    r.code = settings["code"].cast<int>();
    r.weibullShape = settings["weibull_shape"].cast<bool>();
    r.priorLow = settings["prior_low"].cast<double>();
    r.priorHigh = settings["prior_high"].cast<double>();
    r.simulated = settings["simulated"].cast<bool>();
    r.simulationCode = settings["simulation_code"].cast<int>();
    r.simulationParameters = settings["simulation_parameters"].cast<std::vector<double>>();
    r.expert = settings["expert"].cast<bool>();
    r.c = settings["c"].cast<double>();
    r.riskP1 = settings["p1"].cast<double>();
    r.riskP2 = settings["p2"].cast<double>();
    r.defiance = settings["defiance"].cast<double>();
    r.confidence = settings["confidence"].cast<std::string>();
    r.andersonDarling = settings["anderson_darling"].cast<bool>();
    r.testLevel = settings["test_level"].cast<double>();
    r.quantileTestLevel = settings["quantile_test_level"].cast<double>();
    r.k = settings["k"].cast<int>();
    r.p = settings["p"].cast<double>();
    r.orders = settings["orders"].cast<std::vector<double>>();
    const std::span<const double> series = checked_series(data);
    ExpertOutcome outcome;
    {
        py::gil_scoped_release unlocked;
        outcome = expert_study(generator, series, r);
    }
    if (outcome.refused != 0)
        throw Failure{outcome.refused, "the engine refuses the study of the " +
                                           english_name(r.code) + " law over this series"};
    py::dict result;
    result["column"] = outcome.column;
    result["fitted"] = outcome.fitted;
    result["predictive"] = outcome.predictive;
    result["predictive_name"] = outcome.predictiveName;
    result["predictive_code"] = outcome.predictiveCode;
    result["predictive_parameters"] = outcome.predictiveParameters;
    result["table_x"] = outcome.tableX;
    result["table_distribution"] = outcome.tableDistribution;
    result["table_density"] = outcome.tableDensity;
    return result;
}

py::tuple predictive(int code, const std::vector<double>& parameters, const DoubleArray& x) {
    DoubleArray density(x.request().shape);
    DoubleArray distribution(x.request().shape);
    DoubleArray survival(x.request().shape);
    const std::size_t n = static_cast<std::size_t>(x.size());
    {
        py::gil_scoped_release unlocked;
        predictive_values(code, parameters, {x.data(), n}, {density.mutable_data(), n},
                          {distribution.mutable_data(), n}, {survival.mutable_data(), n});
    }
    return py::make_tuple(density, distribution, survival);
}

py::tuple table(const DoubleArray& grid, const DoubleArray& distributionTable,
                const DoubleArray& densityTable, const DoubleArray& x) {
    DoubleArray density(x.request().shape);
    DoubleArray distribution(x.request().shape);
    DoubleArray survival(x.request().shape);
    const std::size_t n = static_cast<std::size_t>(x.size());
    {
        py::gil_scoped_release unlocked;
        table_values(span_of(grid), span_of(distributionTable), span_of(densityTable),
                     {x.data(), n}, {density.mutable_data(), n}, {distribution.mutable_data(), n},
                     {survival.mutable_data(), n});
    }
    return py::make_tuple(density, distribution, survival);
}

py::array_t<double> samples_of(int code, bool weibullShape, const DoubleArray& data,
                               const std::vector<double>& prior, double low, double high,
                               long long size, long long samples, Generator& generator) {
    const std::span<const double> series = checked_series(data);
    std::vector<double> rows;
    int refused = 0;
    {
        py::gil_scoped_release unlocked;
        refused = predictive_samples(generator, series, code, weibullShape, prior, low, high,
                                     static_cast<double>(size), static_cast<double>(samples), rows);
    }
    if (refused != 0)
        throw Failure{refused, "the engine refuses " + std::to_string(samples) + " samples of " +
                                   std::to_string(size) + " values from the predictive " +
                                   english_name(code) + " law with the prior " + shown(prior)};
    py::array_t<double> out({static_cast<py::ssize_t>(samples), static_cast<py::ssize_t>(size)});
    std::copy(rows.begin(), rows.end(), out.mutable_data());
    return out;
}

}  // namespace

void bind_expert(py::module_& m) {
    m.def("expert_study", &study, py::arg("settings"), py::arg("x"), py::arg("generator"),
          "The expert-opinion study of task 25 over x with checked settings: a dict of the "
          "column, the fitted and predictive parameters and the predictive law.");
    m.def("predictive_values", &predictive, py::arg("code"), py::arg("parameters"), py::arg("x"),
          "The density, distribution and survival functions of a predictive law at x.");
    m.def("predictive_table_values", &table, py::arg("grid"), py::arg("distribution"),
          py::arg("density"), py::arg("x"),
          "The density, distribution and survival functions at x of a predictive law given "
          "as a table, read linearly between its points.");
    m.def("predictive_samples", &samples_of, py::arg("code"), py::arg("weibull_shape"),
          py::arg("x"), py::arg("prior"), py::arg("low"), py::arg("high"), py::arg("size"),
          py::arg("samples"), py::arg("generator"),
          "samples sorted rows of size values from the predictive law of x under the prior.");
}

}  // namespace evstat::binding
