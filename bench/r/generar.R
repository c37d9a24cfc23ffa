# SPDX-License-Identifier: GPL-3.0-or-later
# Development series for the comparison with R: monthly data texts (year TAB
# month TAB value, point as decimal mark) written into the folder given.
#   Rscript generar.R CARPETA [EJEMPLOS]
# The monthly series of R's datasets and of the forecast package, the sample
# files in EJEMPLOS (the repository's ejemplos/), and 300 simulated series
# with a fixed seed. They are for tuning and checking, not for judging.
args <- commandArgs(trailingOnly = TRUE)
if (length(args) < 1) stop("uso: Rscript generar.R CARPETA [EJEMPLOS]")
carpeta <- args[1]
ejemplos <- if (length(args) >= 2) args[2] else ""
dir.create(carpeta, showWarnings = FALSE, recursive = TRUE)
suppressPackageStartupMessages(library(forecast))

escribir <- function(nombre, anio, mes, valor) {
  stopifnot(length(anio) == length(valor), all(is.finite(valor)))
  # 15 significant digits: every value of R's data sets comes back as it is.
  lineas <- sprintf("%d\t%d\t%s", as.integer(anio), as.integer(mes), formatC(valor, digits = 15, format = "g"))
  writeLines(gsub(" ", "", lineas), file.path(carpeta, paste0(nombre, ".txt")), sep = "\n")
}

escribir_ts <- function(nombre, y) {
  stopifnot(frequency(y) == 12)
  anio <- floor(round(time(y), 6))
  escribir(nombre, anio, cycle(y), as.numeric(y))
}

# ---- real series. AirPassengers and USAccDeaths are the sample files
# themselves: they come from EJEMPLOS when it is given, not twice.
reales <- list(
  co2 = datasets::co2, nottem = datasets::nottem, ldeaths = datasets::ldeaths,
  mdeaths = datasets::mdeaths, fdeaths = datasets::fdeaths,
  UKDriverDeaths = datasets::UKDriverDeaths,
  sunspots20 = window(datasets::sunspots, start = c(end(datasets::sunspots)[1] - 19, 1)),
  wineind = forecast::wineind, gas = forecast::gas
)
muestras <- if (nzchar(ejemplos)) Sys.glob(file.path(ejemplos, "*.txt")) else character()
# The spare part is made up, and intermittent demand has its own benchmark.
muestras <- muestras[basename(muestras) != "repuesto.txt"]
if (!any(basename(muestras) == "AirPassengers.txt")) reales$AirPassengers <- datasets::AirPassengers
if (!any(basename(muestras) == "USAccDeaths.txt")) reales$USAccDeaths <- datasets::USAccDeaths
for (nombre in names(reales)) escribir_ts(nombre, reales[[nombre]])
for (f in muestras) file.copy(f, file.path(carpeta, basename(f)), overwrite = TRUE)

# ---- simulated series: a level (flat, linear, damped or a random walk with
# drift), a seasonal pattern (none, additive or multiplicative, of several
# strengths), noise, and now and then a shift of the level; all positive.
set.seed(20261210)
for (i in 1:300) {
  n <- sample(66:144, 1)
  t <- 1:n
  base <- exp(runif(1, log(50), log(5000)))
  tendencia <- sample(c("plana", "lineal", "amortiguada", "paseo"), 1)
  nivel <- switch(tendencia,
    plana = rep(base, n),
    lineal = base * (1 + runif(1, -0.003, 0.012) * t),
    amortiguada = {
      phi <- runif(1, 0.85, 0.98)
      base * (1 + runif(1, -0.01, 0.03) * cumsum(phi^t))
    },
    paseo = base * exp(cumsum(rnorm(n, runif(1, -0.002, 0.008), runif(1, 0.005, 0.03))))
  )
  if (runif(1) < 0.15) {
    corte <- sample(round(n * 0.3):round(n * 0.8), 1)
    nivel[corte:n] <- nivel[corte:n] * (1 + sample(c(-1, 1), 1) * runif(1, 0.1, 0.3))
  }
  estacion <- sample(c("sin", "aditiva", "multiplicativa"), 1, prob = c(0.25, 0.35, 0.4))
  fuerza <- runif(1, 0.05, 0.4)
  perfil <- sin(2 * pi * (1:12) / 12 + runif(1, 0, 2 * pi)) + 0.4 * rnorm(12)
  perfil <- fuerza * (perfil - mean(perfil)) / max(abs(perfil - mean(perfil)))
  mes0 <- sample(1:12, 1)
  m <- (mes0 - 1 + t - 1) %% 12 + 1
  ruido <- runif(1, 0.01, 0.15)
  y <- switch(estacion,
    sin = nivel * (1 + ruido * rnorm(n)),
    aditiva = nivel + base * perfil[m] + base * ruido * rnorm(n),
    multiplicativa = nivel * (1 + perfil[m]) * (1 + ruido * rnorm(n))
  )
  # Positive: a value that would fall below a hundredth of the base stays there.
  y <- round(pmax(y, base / 100), 2)
  anio0 <- sample(1990:2015, 1)
  anio <- anio0 + (mes0 - 1 + t - 1) %/% 12
  escribir(sprintf("sim%03d_%s_%s", i, estacion, tendencia), anio, m, y)
}
cat(length(list.files(carpeta, pattern = "\\.txt$")), "series en", carpeta, "\n")
