# Rejection rate of the normal law by the Anderson-Darling test over the numbered files of
# a folder: mean and deviation estimated from each file (deviation with divisor n - 1),
# the statistic A2 of goftest (sorted values, given parameters) multiplied by
# 1 + 0.75/n + 2.25/n^2 and accepted when not above 0.752, the critical value at level
# 0.05. Prints the three lines of the engine's result: rejected %, accepted %, and
# 100 sqrt(v / (N + 1)) with v the variance of the decisions (divisor N).
suppressPackageStartupMessages(library(goftest))
args <- commandArgs(trailingOnly = TRUE)
dir <- args[1]
numbered <- function(i) file.path(dir, if (i == 1) "Donnees.txt" else sprintf("Donnees%d.txt", i))
decisions <- c()
i <- 1
while (file.exists(numbered(i))) {
  x <- scan(numbered(i), quiet = TRUE)
  n <- length(x)
  a2 <- ad.test(x, "pnorm", mean = mean(x), sd = sd(x))$statistic[[1]]
  decisions <- c(decisions, as.numeric(a2 * (1 + 0.75 / n + 2.25 / n^2) <= 0.752))
  i <- i + 1
}
m <- mean(decisions)
v <- mean((decisions - m)^2)
cat(sprintf("%24.17e\n", c((1 - m) * 100, m * 100, 100 * sqrt(v / i))), sep = "")
