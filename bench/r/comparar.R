# SPDX-License-Identifier: GPL-3.0-or-later
# tendora-lote against R's ets() and thetaf() (forecast package) on the same
# series: the last H months of each held out, each method forecasting them
# from the rest.
#   Rscript comparar.R SERIES TENDORA_LOTE TRABAJO [H]
# SERIES holds the complete data texts; the shortened files, the outputs and a
# table per series go into TRABAJO. Measures, averaged over the series:
#   sMAPE  mean over the steps of 200 |y - f| / (|y| + |f|) (M3; a step where
#          both are 0 counts 0)
#   MASE   mean |y - f| over the in-sample mean |y_t - y_{t-12}| of the
#          shortened history (series whose scale is 0 left out)
#   cobertura 80 / 95  share of held-out values inside the intervals
#   s/serie  wall time per series: tendora-lote as a whole (every core, and
#          one thread), ets and thetaf each over all series in this process.
args <- commandArgs(trailingOnly = TRUE)
if (length(args) < 3) stop("uso: Rscript comparar.R SERIES TENDORA_LOTE TRABAJO [H]")
series_dir <- args[1]
lote <- normalizePath(args[2])
trabajo <- args[3]
H <- if (length(args) >= 4) as.integer(args[4]) else 18L
suppressPackageStartupMessages(library(forecast))
source(file.path(dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))), "comun.R"))

cortas_dir <- file.path(trabajo, "cortas")
unlink(cortas_dir, recursive = TRUE)
dir.create(cortas_dir, recursive = TRUE, showWarnings = FALSE)

ficheros <- sort(list.files(series_dir, pattern = "\\.txt$", full.names = TRUE))
series <- list()
for (f in ficheros) {
  d <- read.delim(f, header = FALSE, colClasses = c("integer", "integer", "character"), quote = "")
  valor <- as.numeric(sub(",", ".", d[[3]], fixed = TRUE))
  n <- nrow(d)
  if (n <= H + 24) {
    message("se omite ", basename(f), ": ", n, " meses")
    next
  }
  nombre <- sub("\\.txt$", "", basename(f))
  corta <- seq_len(n - H)
  # The shortened file as the data text, values as they were written.
  writeLines(sprintf("%d\t%d\t%s", d[[1]][corta], d[[2]][corta], d[[3]][corta]),
             file.path(cortas_dir, basename(f)))
  series[[nombre]] <- list(
    y = ts(valor[corta], start = c(d[[1]][1], d[[2]][1]), frequency = 12),
    real = valor[n - H + seq_len(H)]
  )
}
nombres <- names(series)
cabecera_r(length(nombres), H)

# ---- tendora-lote: every file in one run, on every core and on one thread.
corrida <- correr_lote(lote, H, cortas_dir, nombres, trabajo)
tl <- corrida$tabla
t_lote <- corrida$t
t_lote1 <- corrida$t1

prev <- list()
prev$`tendora-lote` <- lapply(nombres, function(s) {
  r <- tl[tl$serie == s, ]
  r <- r[order(r$paso), ]
  if (nrow(r) != H) return(NULL)
  list(f = r$prevision, lo80 = r$inf80, hi80 = r$sup80, lo95 = r$inf95, hi95 = r$sup95, modelo = r$modelo[1])
})

# ---- R: each method over all series in this process, timed as a whole. The
# forecasts and times are kept in TRABAJO and used again while the shortened
# series are the same (R's do not change when tendora-lote does);
# TENDORA_R_DE_NUEVO=1 runs R again.
con_r <- function(ajustar) {
  lapply(nombres, function(s) {
    tryCatch({
      fc <- ajustar(series[[s]]$y)
      list(f = as.numeric(fc$mean), lo80 = as.numeric(fc$lower[, 1]), hi80 = as.numeric(fc$upper[, 1]),
           lo95 = as.numeric(fc$lower[, 2]), hi95 = as.numeric(fc$upper[, 2]), modelo = fc$method)
    }, error = function(e) NULL)
  })
}
cache <- file.path(trabajo, sprintf("r_h%d.rds", H))
entrada <- lapply(series, function(s) as.numeric(s$y))
guardado <- if (file.exists(cache) && Sys.getenv("TENDORA_R_DE_NUEVO") != "1") readRDS(cache) else NULL
if (!is.null(guardado) && identical(guardado$entrada, entrada)) {
  cat("ets y thetaf: resultados guardados en", cache, "\n")
  prev$ets <- guardado$ets
  prev$thetaf <- guardado$thetaf
  t_ets <- guardado$t_ets
  t_theta <- guardado$t_theta
} else {
  t_ets <- system.time(prev$ets <- con_r(function(y) forecast(ets(y), h = H, level = c(80, 95))))[["elapsed"]]
  t_theta <- system.time(prev$thetaf <- con_r(function(y) thetaf(y, h = H, level = c(80, 95))))[["elapsed"]]
  saveRDS(list(entrada = entrada, ets = prev$ets, thetaf = prev$thetaf, t_ets = t_ets, t_theta = t_theta,
               version = as.character(packageVersion("forecast"))), cache)
}

# ---- measures
medidas <- function(p, s) {
  y <- series[[s]]$real
  if (is.null(p) || length(p$f) != H || any(!is.finite(p$f)))
    return(c(sMAPE = NA, MASE = NA, c80 = NA, c95 = NA))
  den <- abs(y) + abs(p$f)
  sm <- ifelse(den == 0, 0, 200 * abs(y - p$f) / den)
  h <- as.numeric(series[[s]]$y)
  escala <- mean(abs(diff(h, lag = 12)))
  c(sMAPE = mean(sm), MASE = if (escala > 0) mean(abs(y - p$f)) / escala else NA,
    c80 = mean(y >= p$lo80 & y <= p$hi80), c95 = mean(y >= p$lo95 & y <= p$hi95))
}
por_serie <- do.call(rbind, lapply(names(prev), function(m) {
  do.call(rbind, lapply(seq_along(nombres), function(k) {
    p <- prev[[m]][[k]]
    data.frame(metodo = m, serie = nombres[k], t(medidas(p, nombres[k])),
               modelo = if (is.null(p)) NA else p$modelo, stringsAsFactors = FALSE)
  }))
}))
write.table(por_serie, file.path(trabajo, "por_serie.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)

tiempos <- c(`tendora-lote` = t_lote, ets = t_ets, thetaf = t_theta)
resumen <- function(filas, con_tiempo) {
  do.call(rbind, lapply(names(prev), function(m) {
    x <- filas[filas$metodo == m, ]
    data.frame(metodo = m, series = sum(!is.na(x$sMAPE)),
               sMAPE = round(mean(x$sMAPE, na.rm = TRUE), 3), MASE = round(mean(x$MASE, na.rm = TRUE), 4),
               cob80 = round(100 * mean(x$c80, na.rm = TRUE), 1), cob95 = round(100 * mean(x$c95, na.rm = TRUE), 1),
               s_serie = if (con_tiempo) signif(tiempos[[m]] / length(nombres), 3) else NA)
  }))
}
sim <- grepl("^sim", por_serie$serie)
cat("\nTodas las series\n")
print(resumen(por_serie, TRUE), row.names = FALSE)
cat(sprintf("tendora-lote con un hilo: %.3g s/serie (%.2f s en total; con todos los núcleos %.2f s)\n",
            t_lote1 / length(nombres), t_lote1, t_lote))
cat("\nSeries reales (", sum(!grepl("^sim", nombres)), ")\n", sep = "")
print(resumen(por_serie[!sim, ], FALSE)[, 1:6], row.names = FALSE)
cat("\nSeries simuladas (", sum(grepl("^sim", nombres)), ")\n", sep = "")
print(resumen(por_serie[sim, ], FALSE)[, 1:6], row.names = FALSE)
cat("\nModelos que elige tendora-lote:\n")
print(sort(table(sub(" .*", "", prev$`tendora-lote` |> sapply(function(p) if (is.null(p)) "ninguno" else p$modelo))),
           decreasing = TRUE))
