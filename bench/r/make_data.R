# The input files of the comparison, written once into the folder given: a million
# Weibull values (shape 1.5, scale 2) in weibull/serie.txt, and numbered files of 200
# sorted normal values (mean 10, deviation 2) in ad/ (1,000 files) and et/ (100 files).
args <- commandArgs(trailingOnly = TRUE)
root <- args[1]
set.seed(20240601)
write_values <- function(x, name) writeLines(sprintf("%.17g", x), name)
numbered <- function(dir, i) file.path(dir, if (i == 1) "Donnees.txt" else sprintf("Donnees%d.txt", i))

dir.create(file.path(root, "weibull"), showWarnings = FALSE)
write_values(rweibull(1e6, shape = 1.5, scale = 2), file.path(root, "weibull", "serie.txt"))
for (study in list(list("ad", 1000), list("et", 100))) {
  dir <- file.path(root, study[[1]])
  dir.create(dir, showWarnings = FALSE)
  for (i in seq_len(study[[2]])) write_values(sort(rnorm(200, 10, 2)), numbered(dir, i))
}
