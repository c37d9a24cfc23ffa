# SPDX-License-Identifier: GPL-3.0-or-later
# Simulated spare-parts demand for the intermittent benchmark: N monthly data
# texts (year TAB month TAB whole units) of 51 months from January 1998,
# written into the folder given.
#   Rscript intermitente.R CARPETA [N]
# Shaped after the car-parts set of Hyndman et al. (2008): 51 months, about
# three values in four zero, whole non-negative demand. Each part follows one
# of these behaviours (the share of parts in brackets):
#   estable     (33 %) demand in a month with probability p (0.05 to 0.6,
#               log-uniform), size 1 + Poisson or 1 + negative binomial
#   grumosa     (12 %) rarer demand (p 0.05 to 0.4) of very uneven size
#               (negative binomial of small shape: CV² of the sizes about 1,
#               most above the usual lumpy threshold of 0.49)
#   obsoleta    (20 %) as estable until a month within the last two years,
#               nothing after it: the part has gone out of use. On the real
#               set this is why forecasting zero does so well.
#   tardia      (8 %)  as estable, but nothing before a month within the
#               first three years: a new part
#   declive     (10 %) p falls steadily to a fifth to a half of its start
#   casi_nula   (10 %) no demand or a single one in the 51 months
#   rapida      (7 %)  demand in most months (p 0.7 to 1), smooth (Poisson)
#               or erratic (negative binomial) sizes
# The seed is fixed: the same N gives the same series.
args <- commandArgs(trailingOnly = TRUE)
if (length(args) < 1) stop("uso: Rscript intermitente.R CARPETA [N]")
carpeta <- args[1]
N <- if (length(args) >= 2) as.integer(args[2]) else 1000L
dir.create(carpeta, showWarnings = FALSE, recursive = TRUE)

n <- 51L
anio <- 1998L + (seq_len(n) - 1L) %/% 12L
mes <- (seq_len(n) - 1L) %% 12L + 1L
clases <- c(estable = 0.33, grumosa = 0.12, obsoleta = 0.20, tardia = 0.08, declive = 0.10, casi_nula = 0.10,
            rapida = 0.07)

logunif <- function(a, b) exp(runif(1, log(a), log(b)))
# Sizes of k demands: 1 + Poisson or 1 + negative binomial, mean 1 + mu.
tamanos_de <- function(lumpy = FALSE) {
  mu <- if (lumpy) logunif(1, 15) else logunif(0.2, 4)
  forma <- if (lumpy) runif(1, 0.15, 0.6) else if (runif(1) < 0.5) Inf else runif(1, 1, 5)
  function(k) 1L + (if (is.finite(forma)) rnbinom(k, size = forma, mu = mu) else rpois(k, mu))
}
# Demand in month t with probability p[t] (p may be one number or one per month).
demanda <- function(p, tam) {
  ocurre <- runif(n) < p
  y <- integer(n)
  y[ocurre] <- tam(sum(ocurre))
  y
}

set.seed(20261211)
clase <- sample(names(clases), N, replace = TRUE, prob = clases)
ceros <- 0
for (i in seq_len(N)) {
  y <- switch(clase[i],
    estable = demanda(logunif(0.05, 0.6), tamanos_de()),
    grumosa = demanda(logunif(0.05, 0.4), tamanos_de(lumpy = TRUE)),
    obsoleta = {
      y <- demanda(logunif(0.1, 0.6), tamanos_de())
      fin <- sample((n - 23L):n, 1)
      y[fin:n] <- 0L
      y
    },
    tardia = {
      y <- demanda(logunif(0.1, 0.6), tamanos_de())
      inicio <- sample(6:36, 1)
      y[seq_len(inicio - 1L)] <- 0L
      y
    },
    declive = {
      p0 <- logunif(0.15, 0.6)
      demanda(p0 * runif(1, 0.2, 0.5)^((seq_len(n) - 1) / (n - 1)), tamanos_de())
    },
    casi_nula = {
      y <- integer(n)
      if (runif(1) < 0.6) y[sample.int(n, 1)] <- 1L + rpois(1, 0.5)
      y
    },
    rapida = demanda(runif(1, 0.7, 1), tamanos_de(lumpy = runif(1) < 0.5))
  )
  ceros <- ceros + sum(y == 0)
  writeLines(sprintf("%d\t%d\t%d", anio, mes, y), file.path(carpeta, sprintf("pieza%04d_%s.txt", i, clase[i])))
}
cat(N, " series en ", carpeta, "; ", round(100 * ceros / (N * n), 1), " % de los valores son cero\n", sep = "")
