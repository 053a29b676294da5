// LoadType 3: task 25, a series studied together with an expert's opinion. 28 fixed
// lines: the law, the interval of the prior, the simulation law and its parameters, the
// expert's statement, the tests and the quantile orders; lines after the 28th are ignored.
#include "input/parameter_file.h"

namespace evstat {

namespace {
constexpr int kFirstExtraOrderLine = 24;
constexpr int kLastExtraOrderLine = 28;

// A 0/1 flag ("%d").
int flag_line(const LineTable& table, int number, Erreur notInteger, Erreur notAccepted) {
    const int value = int_line(table, number, notInteger);
    if (value != 0 && value != 1) throw notAccepted;
    return value;
}

// A probability from 0 to 1, both accepted; NaN is refused.
bool is_probability(double value) { return value >= 0.0 && value <= 1.0; }

// A risk that may be left out ("*"): when given, a probability.
bool risk_line(const LineTable& table, int number, Erreur notNumeric, Erreur outOfRange,
               double& risk) {
    const bool given = optional_double_line(table, number, notNumeric, risk);
    if (given && !is_probability(risk)) throw outOfRange;
    return given;
}

bool accepted_confidence(const std::string& word) {
    return word == "Forte" || word == "Moyenne" || word == "Faible" || word == "*";
}
}  // namespace

void load_parameter_file_3(const std::string& path, RunParameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType3);
    load_common_head(table, 3, parameters);

    parameters.lawName = law_name_line(table, 5);
    prior_bound_lines(table, 6, parameters);
    parameters.simulated =
        flag_line(table, 8, Erreur::SimulatedFlagNotInteger, Erreur::SimulatedFlagNotAccepted);
    parameters.simulationLaw = text_line(table, 9, Erreur::SimulationLawNotText);
    law_parameter_lines(table, 10, 12, parameters.lawParameters);
    parameters.expert =
        flag_line(table, 13, Erreur::ExpertFlagNotNumeric, Erreur::ExpertFlagNotAccepted);
    optional_double_line(table, 14, Erreur::ExpertQuantileNotNumeric, parameters.expertMaxQuantile);
    risk_line(table, 15, Erreur::RiskP1NotNumeric, Erreur::RiskP1OutOfRange, parameters.riskP1);
    // Written as the accepted case so that a NaN against p1 is refused too.
    if (risk_line(table, 16, Erreur::RiskP2NotNumeric, Erreur::RiskP2OutOfRange, parameters.riskP2) &&
        !(parameters.riskP2 <= parameters.riskP1))
        throw Erreur::RiskP2AboveP1;

    parameters.defiance = double_line(table, 17, Erreur::DefianceNotNumeric);
    if (!is_probability(parameters.defiance)) throw Erreur::DefianceOutOfRange;
    parameters.confidence = text_line(table, 18, Erreur::ConfidenceNotText);
    if (!accepted_confidence(parameters.confidence)) throw Erreur::ConfidenceNotAccepted;
    parameters.testName = first_word(table.line(19));
    if (!begins_with_letter(parameters.testName)) throw Erreur::TestNameNotText;
    if (parameters.testName != "AD" && parameters.testName != "CVM")
        throw Erreur::TestNameNotAccepted;
    // Every test of this study is made, so a level of 0 (no test) is refused.
    parameters.testLevel1 = test_level_line(table, 20, false);
    parameters.testLevel2 = test_level_line(table, 21, false);

    parameters.excessCount = non_negative_int_line(table, 22, Erreur::ExcessCountNotInteger,
                                                   Erreur::ExcessCountNegative);
    parameters.quantileOrder = quantile_order_line(table, 23);
    int appended = 0;
    for (int number = kFirstExtraOrderLine; number <= kLastExtraOrderLine; ++number) {
        const double order = quantile_order_line(table, number);
        if (order != 0.0) parameters.extraOrders.push_back(order, ++appended);
    }
}

}  // namespace evstat
