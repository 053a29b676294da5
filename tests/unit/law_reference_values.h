// Reference densities and distribution functions of every law of the catalogue, shared by the
// density and distribution-function tests.
//
// How the values were computed: SciPy 1.10.1 (scipy.stats), printed with repr(), with the engine's
// parametrisations mapped onto SciPy's:
//   0 uniform(a, b) = uniform(loc=a, scale=b-a); 1 expon(scale=theta); 2 gamma(a, scale=b); 3 chi2(nu);
//   4 norm(mu, sigma); 5 t(nu); 6 beta(a, b); 7 Weibull (a, b), F = 1 - exp(-x^b/a) =
//   weibull_min(b, scale=a^(1/b)); 8 lognorm(sigma, scale=exp(mu)); 9 pareto(b, scale=a);
//   10 genpareto(k, scale=sigma) (k = 0: expon(scale=sigma));
//   11 (mu, alpha, beta) = t(2 alpha, loc=mu, scale=sqrt(beta/alpha)), distribution column
//      t.cdf(x) - t.cdf(-100) (the engine integrates from -100);
//   12 density t.pdf(ln x)/x of the same t; its distribution function is 0 by definition;
//   13 (c, sigma, k): density c x^(c-1) genpareto(k, scale=sigma).pdf(x^c), distribution
//      genpareto.cdf(x^c); 14 (a, b, s) = betaprime(a, b, scale=s).
// The engine's normal distribution function is A&S 26.2.17 with its error bound 7.5e-8 added, and the
// odd chi-square series goes through it: those rows agree to about 2e-7 and 4e-7 only.
#pragma once

#include <vector>

#include "laws/catalogue.h"

namespace evstat::reference {

struct LawValueRow {
    LawCode code;
    std::vector<double> parameters;
    double x;
    double density;
    double distribution;
};

inline const std::vector<LawValueRow>& law_values() {
    static const std::vector<LawValueRow> rows = {
        {LawCode::kUniform, {1.0, 3.0}, 1.0, 0.5, 0.0},
        {LawCode::kUniform, {1.0, 3.0}, 1.5, 0.5, 0.25},
        {LawCode::kUniform, {1.0, 3.0}, 2.9, 0.5, 0.95},
        {LawCode::kUniform, {1.0, 3.0}, 3.0, 0.5, 1.0},
        {LawCode::kExponential, {2.0}, 0.1, 0.475614712250357, 0.048770575499286},
        {LawCode::kExponential, {2.0}, 1.0, 0.3032653298563167, 0.3934693402873666},
        {LawCode::kExponential, {2.0}, 5.0, 0.0410424993119494, 0.9179150013761012},
        {LawCode::kExponential, {2.0}, 20.0, 2.2699964881242427e-05, 0.9999546000702375},
        {LawCode::kGamma, {2.5, 1.5}, 0.2, 0.021368533361480754, 0.0017765831474449792},
        {LawCode::kGamma, {2.5, 1.5}, 1.0, 0.14015416167047012, 0.06853538286653442},
        {LawCode::kGamma, {2.5, 1.5}, 3.75, 0.16272202846584988, 0.584119813004492},
        {LawCode::kGamma, {2.5, 1.5}, 10.0, 0.01098598765331152, 0.9795525180541848},
        {LawCode::kGamma, {2.5, 1.5}, 30.0, 9.245446644718906e-08, 0.99999985066321},
        {LawCode::kGamma, {0.6, 2.0}, 0.01, 2.781376385813039, 0.04650141542102604},
        {LawCode::kGamma, {0.6, 2.0}, 0.5, 0.4552706079008694, 0.44479054712784427},
        {LawCode::kGamma, {0.6, 2.0}, 3.0, 0.06370023152008196, 0.8925790275247201},
        {LawCode::kGamma, {0.6, 2.0}, 12.0, 0.0004064356978660142, 0.9992320169628705},
        {LawCode::kChiSquare, {5.0}, 0.5, 0.03661594078897687, 0.007876706767370404},
        {LawCode::kChiSquare, {5.0}, 2.0, 0.1383691658068649, 0.15085496391539038},
        {LawCode::kChiSquare, {5.0}, 5.0, 0.1220415213493874, 0.584119813004492},
        {LawCode::kChiSquare, {5.0}, 12.0, 0.013702310000441047, 0.9652122194937581},
        {LawCode::kChiSquare, {4.0}, 0.5, 0.09735009788392562, 0.026499021160743912},
        {LawCode::kChiSquare, {4.0}, 2.0, 0.18393972058572117, 0.2642411176571153},
        {LawCode::kChiSquare, {4.0}, 5.0, 0.1026062482798735, 0.7127025048163542},
        {LawCode::kChiSquare, {4.0}, 12.0, 0.007436256529999078, 0.9826487347633355},
        {LawCode::kChiSquare, {1.0}, 0.5, 0.43939128946772243, 0.5204998778130466},
        {LawCode::kChiSquare, {1.0}, 2.0, 0.10377687435514868, 0.8427007929497151},
        {LawCode::kNormal, {1.0, 2.0}, -3.0, 0.026995483256594024, 0.022750131948179195},
        {LawCode::kNormal, {1.0, 2.0}, 0.0, 0.17603266338214973, 0.3085375387259869},
        {LawCode::kNormal, {1.0, 2.0}, 1.5, 0.19333405840142465, 0.5987063256829237},
        {LawCode::kNormal, {1.0, 2.0}, 4.0, 0.06475879783294587, 0.9331927987311419},
        {LawCode::kNormal, {1.0, 2.0}, 9.0, 6.691511288244267e-05, 0.9999683287581669},
        {LawCode::kStudent, {5.0}, -3.0, 0.017292578800222967, 0.015049623948731284},
        {LawCode::kStudent, {5.0}, -0.5, 0.3279185313227465, 0.3191494358204645},
        {LawCode::kStudent, {5.0}, 0.0, 0.37960668982249446, 0.5},
        {LawCode::kStudent, {5.0}, 1.2, 0.1776586134649355, 0.8580544716469489},
        {LawCode::kStudent, {5.0}, 4.0, 0.005123727051917914, 0.9948382922595843},
        {LawCode::kStudent, {6.0}, -3.0, 0.015491933384829673, 0.012004098377865471},
        {LawCode::kStudent, {6.0}, -0.5, 0.331776, 0.31744},
        {LawCode::kStudent, {6.0}, 0.0, 0.3827327723098717, 0.5},
        {LawCode::kStudent, {6.0}, 1.2, 0.18026846186311346, 0.8623164186099239},
        {LawCode::kStudent, {6.0}, 4.0, 0.004054577860819978, 0.9964405110181259},
        {LawCode::kStudent, {1.0}, -2.0, 0.06366197723675815, 0.1475836176504332},
        {LawCode::kStudent, {1.0}, 0.7, 0.21363079609650387, 0.6944001122142147},
        {LawCode::kBeta, {2.0, 3.5}, 0.05, 0.6927229493249696, 0.01809270833778122},
        {LawCode::kBeta, {2.0, 3.5}, 0.3, 1.937077126433018, 0.4117025023425647},
        {LawCode::kBeta, {2.0, 3.5}, 0.5, 1.392116475461015, 0.7569320439671242},
        {LawCode::kBeta, {2.0, 3.5}, 0.9, 0.04482528583288674, 0.99868765477103},
        {LawCode::kWeibull, {2.0, 1.5}, 0.1, 0.2334503152313769, 0.015687044512734543},
        {LawCode::kWeibull, {2.0, 1.5}, 1.0, 0.45489799478447507, 0.3934693402873666},
        {LawCode::kWeibull, {2.0, 1.5}, 2.0, 0.2578642373075429, 0.7568832655657858},
        {LawCode::kWeibull, {2.0, 1.5}, 4.0, 0.027473458333101268, 0.9816843611112658},
        {LawCode::kLognormal, {0.5, 0.8}, 0.3, 0.17201049791182196, 0.016587210015229416},
        {LawCode::kLognormal, {0.5, 0.8}, 1.0, 0.41020121068796883, 0.26598552904870054},
        {LawCode::kLognormal, {0.5, 0.8}, 1.65, 0.3022288583813425, 0.5003866188492031},
        {LawCode::kLognormal, {0.5, 0.8}, 5.0, 0.03812685477001987, 0.9172482234787089},
        {LawCode::kPareto, {2.0, 3.0}, 2.0, 1.5, 0.0},
        {LawCode::kPareto, {2.0, 3.0}, 2.5, 0.6144, 0.488},
        {LawCode::kPareto, {2.0, 3.0}, 4.0, 0.09375, 0.875},
        {LawCode::kPareto, {2.0, 3.0}, 10.0, 0.0024, 0.992},
        {LawCode::kGpd, {0.3, 2.0}, 0.1, 0.468759937760647, 0.04841732634588658},
        {LawCode::kGpd, {0.3, 2.0}, 1.0, 0.27286386690703235, 0.3724131061138255},
        {LawCode::kGpd, {0.3, 2.0}, 4.0, 0.06523040568072115, 0.7912627018216923},
        {LawCode::kGpd, {0.3, 2.0}, 20.0, 0.0012303916502879619, 0.9901568667976963},
        {LawCode::kGpd, {-0.4, 2.0}, 0.1, 0.4850752518939716, 0.049252506287815676},
        {LawCode::kGpd, {-0.4, 2.0}, 1.0, 0.3577708763999664, 0.4275665977600538},
        {LawCode::kGpd, {-0.4, 2.0}, 3.0, 0.12649110640673514, 0.898807114874612},
        {LawCode::kGpd, {-0.4, 2.0}, 4.9, 0.0014142135623730857, 0.9999434314575051},
        {LawCode::kGpd, {0.0, 2.0}, 0.1, 0.475614712250357, 0.048770575499286},
        {LawCode::kGpd, {0.0, 2.0}, 3.0, 0.11156508007421491, 0.7768698398515702},
        {LawCode::kBetaPrime, {2.0, 3.0, 1.5}, 0.1, 0.38623809814453125, 0.0215301513671875},
        {LawCode::kBetaPrime, {2.0, 3.0, 1.5}, 1.0, 0.41472000000000014, 0.5247999999999999},
        {LawCode::kBetaPrime, {2.0, 3.0, 1.5}, 2.7, 0.08367049443684178, 0.8665920449812579},
        {LawCode::kBetaPrime, {2.0, 3.0, 1.5}, 20.0, 0.00017631640381362299, 0.9987127065892399},
        {LawCode::kBetaPrime, {100.0, 150.0, 2.0}, 1.0, 0.2722865880181149, 0.014159955186200345},
        {LawCode::kBetaPrime, {100.0, 150.0, 2.0}, 1.5, 1.3532046726369211, 0.8220905430511225},
        {LawCode::kStudentApprox,
         {1.0, 2.5, 3.0},
         -5.0,
         0.0010102971185405587,
         0.001382478728084947},
        {LawCode::kStudentApprox, {1.0, 2.5, 3.0}, 0.0, 0.21822417760476062, 0.20159016557585574},
        {LawCode::kStudentApprox, {1.0, 2.5, 3.0}, 1.0, 0.34653191165941166, 0.4999999985774325},
        {LawCode::kStudentApprox, {1.0, 2.5, 3.0}, 2.5, 0.13330153175779022, 0.8853975118003237},
        {LawCode::kStudentApprox,
         {1.0, 2.5, 3.0},
         10.0,
         0.00011366826410575626,
         0.9997825098618001},
        {LawCode::kStudentApproxLog, {1.0, 2.5, 3.0}, 0.1, 0.1548788319035969, 0.0},
        {LawCode::kStudentApproxLog, {1.0, 2.5, 3.0}, 1.0, 0.21822417760476062, 0.0},
        {LawCode::kStudentApproxLog, {1.0, 2.5, 3.0}, 2.7, 0.128342230183613, 0.0},
        {LawCode::kStudentApproxLog, {1.0, 2.5, 3.0}, 20.0, 0.0037617562693002407, 0.0},
        {LawCode::kGpdPower, {2.0, 1.5, 0.2}, 0.1, 0.13227162679863408, 0.006640082742258182},
        {LawCode::kGpdPower, {2.0, 1.5, 0.2}, 1.0, 0.6292058657605496, 0.4651750141035329},
        {LawCode::kGpdPower, {2.0, 1.5, 0.2}, 2.7, 0.06121544869753445, 0.966467537546795},
    };
    return rows;
}

}  // namespace evstat::reference
