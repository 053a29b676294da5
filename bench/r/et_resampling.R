# Acceptance rate of the exponential-tail test of an extreme quantile by resampled
# differences, normal law, over the numbered files of a folder, on one thread: k = 20
# excesses, p = 0.01, risk 0.05, B = 1,000. For each file: the normal law fitted (mean,
# deviation with divisor n - 1), the ET estimate q = u + mean excess * ln(k / (n p)) over
# the value u at position n - k; B series of n values drawn from the fitted law, each
# sorted, its ET estimate less the 1 - p quantile of the law refitted to it; the test
# accepts when q minus the fitted quantile lies between the (j + 1)-th and (B - j)-th of
# those differences, j = floor(B * 0.05 / 2). Prints the rates as the engine writes them.
args <- commandArgs(trailingOnly = TRUE)
dir <- args[1]
k <- 20; p <- 0.01; risk <- 0.05; B <- 1000
numbered <- function(i) file.path(dir, if (i == 1) "Donnees.txt" else sprintf("Donnees%d.txt", i))
et_estimate <- function(sorted, n) {
  u <- sorted[n - k]
  excesses <- sorted[sorted > u] - u
  u + mean(excesses) * log(k / (n * p))
}
set.seed(1)
decisions <- c()
i <- 1
while (file.exists(numbered(i))) {
  x <- scan(numbered(i), quiet = TRUE)
  n <- length(x)
  m <- mean(x); s <- sd(x)
  q <- et_estimate(x, n)
  quantile <- qnorm(1 - p, m, s)
  differences <- numeric(B)
  for (b in seq_len(B)) {
    y <- sort(rnorm(n, m, s))
    differences[b] <- et_estimate(y, n) - qnorm(1 - p, mean(y), sd(y))
  }
  differences <- sort(differences)
  j <- floor(B * risk / 2)
  decisions <- c(decisions, as.numeric(differences[j + 1] <= q - quantile && q - quantile <= differences[B - j]))
  i <- i + 1
}
rate <- mean(decisions)
v <- mean((decisions - rate)^2)
cat(sprintf("%24.17e\n", c((1 - rate) * 100, rate * 100, 100 * sqrt(v / i))), sep = "")
