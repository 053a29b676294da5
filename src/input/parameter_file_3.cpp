// LoadType 3: task 25, a series studied together with an expert's opinion. 28 fixed
// lines: the law, the interval of the prior, the simulation law and its parameters, the
// expert's statement, the tests and the quantile orders; lines after the 28th are ignored.
#include "input/parameter_file.h"

namespace evstat {

namespace {
constexpr int kFirstExtraOrderLine = 24;
constexpr int kLastExtraOrderLine = 28;

// A 0/1 flag ("%d").
bool flag_line(const LineTable& table, int number, Erreur notInteger, Erreur notAccepted) {
    const int value = int_line(table, number, notInteger);
    if (value != 0 && value != 1) throw notAccepted;
    return value == 1;
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

ExpertConfidence confidence_line(const LineTable& table, int number) {
    const std::string word = text_line(table, number, Erreur::ConfidenceNotText);
    if (word == "Forte") return ExpertConfidence::kStrong;
    if (word == "Moyenne") return ExpertConfidence::kMedium;
    if (word == "Faible") return ExpertConfidence::kWeak;
    if (word == "*") return ExpertConfidence::kNotGiven;
    throw Erreur::ConfidenceNotAccepted;
}

CentralTest test_line(const LineTable& table, int number) {
    const std::string word = first_word(table.line(number));
    if (!begins_with_letter(word)) throw Erreur::TestNameNotText;
    if (word == "AD") return CentralTest::kAndersonDarling;
    if (word == "CVM") return CentralTest::kCramerVonMises;
    throw Erreur::TestNameNotAccepted;
}

// The expert's statement, lines 13 to 17: the flag, the value and the two risks (each may
// be left out), and the defiance level.
void load_expert_lines(const LineTable& table, LoadType3Parameters& parameters) {
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
}

// Once every line has passed: the law, and for a simulated series the simulation law,
// must be in the catalogue ("*" is not exempt here). The failure is reported as it always
// was for this layout, by its message alone.
void resolve_laws(LoadType3Parameters& parameters) {
    parameters.law = law_of_name(parameters.law.name, parameters.weibullShape);
    if (parameters.law.code == LawCode::kUnknown) throw Erreur::UnknownLaw;
    if (parameters.simulated) {
        parameters.simulationLaw.code = law_code_from_name(parameters.simulationLaw.name);
        if (parameters.simulationLaw.code == LawCode::kUnknown) throw Erreur::UnknownLaw;
    }
}
}  // namespace

void load_parameter_file_3(const std::string& path, LoadType3Parameters& parameters) {
    const LineTable table = LineTable::read(path);
    require_lines(table, kMinimumLinesLoadType3);
    load_common_head(table, 3, parameters.frame);

    parameters.law.name = law_name_line(table, 5);
    prior_bound_lines(table, 6, parameters.priorLow, parameters.priorHigh);
    parameters.simulated =
        flag_line(table, 8, Erreur::SimulatedFlagNotInteger, Erreur::SimulatedFlagNotAccepted);
    parameters.simulationLaw.name = text_line(table, 9, Erreur::SimulationLawNotText);
    law_parameter_lines(table, 10, 12, parameters.simulationParameters);
    load_expert_lines(table, parameters);
    parameters.confidence = confidence_line(table, 18);
    parameters.test = test_line(table, 19);
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
    resolve_laws(parameters);
}

}  // namespace evstat
