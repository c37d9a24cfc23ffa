# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the comparison scripts: the versions line, and tendora-lote run on
# every shortened file at once, on every core and on one thread (the two
# outputs must be the same).

cabecera_r <- function(series, H) {
  cat(series, "series, horizonte", H, "\n")
  cat(R.version.string, ", forecast ", as.character(packageVersion("forecast")), ", ", parallel::detectCores(),
      " núcleos\n", sep = "")
}

# The table tendora-lote wrote with every core, and both wall times in seconds.
correr_lote <- function(lote, H, cortas_dir, nombres, trabajo) {
  una <- function(hilos, salida) {
    args <- c("--horizonte", H, "--salida", salida)
    if (!is.null(hilos)) args <- c(args, "--hilos", hilos)
    args <- c(args, file.path(cortas_dir, paste0(nombres, ".txt")))
    t <- system.time(estado <- system2(lote, shQuote(args), stdout = "", stderr = file.path(trabajo, "lote.err")))
    if (estado != 0) message("tendora-lote terminó con estado ", estado, "; vea ", file.path(trabajo, "lote.err"))
    t[["elapsed"]]
  }
  salida <- file.path(trabajo, "tendora-lote.tsv")
  salida1 <- file.path(trabajo, "tendora-lote-1hilo.tsv")
  t <- una(NULL, salida)
  t1 <- una(1, salida1)
  if (!identical(readLines(salida), readLines(salida1)))
    message("AVISO: la salida con un hilo no es la misma que con todos")
  list(tabla = read.delim(salida, quote = "", colClasses = c(serie = "character", modelo = "character")),
       t = t, t1 = t1)
}
