# Maximum-likelihood Weibull fit of one file, the whole process timed from outside.
suppressPackageStartupMessages(library(fitdistrplus))
args <- commandArgs(trailingOnly = TRUE)
x <- scan(args[1], quiet = TRUE)
fit <- fitdist(x, "weibull")
cat(sprintf("shape %.10g scale %.10g\n", fit$estimate[["shape"]], fit$estimate[["scale"]]))
