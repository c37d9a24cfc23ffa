# SPDX-License-Identifier: GPL-3.0-or-later
# tendora-lote on intermittent demand against the zero forecast, the mean of
# the last 12 months and R's croston() and ses() (forecast package): the last
# H months of each series held out, each method forecasting them from the rest.
#   Rscript comparar_intermitente.R SERIES TENDORA_LOTE TRABAJO [H]
# SERIES holds the complete data texts (intermitente.R); the shortened files,
# the outputs, the table (intermitente.tsv) and one per series go into
# TRABAJO. Measures, averaged over the series:
#   RMSSE   root of the mean squared error over the mean squared one-month
#           difference of the shortened history
#   MASE    the same with absolute values
#   Both leave out the series whose history is constant (scale 0: nothing to
#   scale by); how many is printed.
#   exactos   share of held-out months forecast without error
#   cob80 / cob95  share of held-out months inside the interval (ends
#           included), over all months; cob80_nd only over the months whose 80 %
#           interval is not a single point
#   suma_sup95  sum of the 95 % upper ends over the horizon, as stock to hold;
#           stock95 the share of series whose held-out total it covers
#   s_serie  wall time per series: tendora-lote as a whole (every core, and
#           one thread), croston and ses each over all series in this process.
args <- commandArgs(trailingOnly = TRUE)
if (length(args) < 3) stop("uso: Rscript comparar_intermitente.R SERIES TENDORA_LOTE TRABAJO [H]")
series_dir <- args[1]
lote <- normalizePath(args[2])
trabajo <- args[3]
H <- if (length(args) >= 4) as.integer(args[4]) else 6L
suppressPackageStartupMessages(library(forecast))
source(file.path(dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))), "comun.R"))
options(width = 160) # the table on one line per method

cortas_dir <- file.path(trabajo, "cortas")
unlink(cortas_dir, recursive = TRUE)
dir.create(cortas_dir, recursive = TRUE, showWarnings = FALSE)

ficheros <- sort(list.files(series_dir, pattern = "\\.txt$", full.names = TRUE))
series <- list()
for (f in ficheros) {
  d <- read.delim(f, header = FALSE, colClasses = c("integer", "integer", "numeric"), quote = "")
  n <- nrow(d)
  if (n <= H + 12) {
    message("se omite ", basename(f), ": ", n, " meses")
    next
  }
  corta <- seq_len(n - H)
  writeLines(sprintf("%d\t%d\t%d", d[[1]][corta], d[[2]][corta], as.integer(d[[3]][corta])),
             file.path(cortas_dir, basename(f)))
  series[[sub("\\.txt$", "", basename(f))]] <- list(
    y = ts(d[[3]][corta], start = c(d[[1]][1], d[[2]][1]), frequency = 12),
    real = d[[3]][n - H + seq_len(H)]
  )
}
nombres <- names(series)
# The behaviour is the file name's last part (pieza0001_estable.txt).
clase <- sub("^[^_]*_", "", nombres)
cabecera_r(length(nombres), H)

# ---- tendora-lote: every file in one run, on every core and on one thread.
corrida <- correr_lote(lote, H, cortas_dir, nombres, trabajo)
tl <- corrida$tabla
t_lote <- corrida$t
t_lote1 <- corrida$t1

prev <- list()
prev$cero <- lapply(nombres, function(s) list(f = rep(0, H)))
prev$media12 <- lapply(nombres, function(s) list(f = rep(mean(tail(as.numeric(series[[s]]$y), 12)), H)))
prev$`tendora-lote` <- lapply(nombres, function(s) {
  r <- tl[tl$serie == s, ]
  r <- r[order(r$paso), ]
  if (nrow(r) != H) return(NULL)
  list(f = r$prevision, lo80 = r$inf80, hi80 = r$sup80, lo95 = r$inf95, hi95 = r$sup95, modelo = r$modelo[1])
})
sin_prevision <- setdiff(nombres, tl$serie)
if (length(sin_prevision) > 0) cat("tendora-lote no ha previsto:", sin_prevision, "\n")
# croston() gives no intervals; ses() does, so they are measured as well.
t_croston <- system.time(prev$croston <- lapply(nombres, function(s) {
  list(f = as.numeric(croston(series[[s]]$y, h = H)$mean))
}))[["elapsed"]]
t_ses <- system.time(prev$ses <- lapply(nombres, function(s) {
  fc <- tryCatch(ses(series[[s]]$y, h = H, level = c(80, 95)), error = function(e) NULL)
  if (is.null(fc)) return(NULL)
  list(f = as.numeric(fc$mean), lo80 = as.numeric(fc$lower[, 1]), hi80 = as.numeric(fc$upper[, 1]),
       lo95 = as.numeric(fc$lower[, 2]), hi95 = as.numeric(fc$upper[, 2]))
}))[["elapsed"]]

# ---- measures per series; the interval ones stay NA for a method without them.
medidas <- function(p, s) {
  y <- series[[s]]$real
  d <- diff(as.numeric(series[[s]]$y))
  m <- c(RMSSE = NA, MASE = NA, exactos = NA, d80 = NA, d95 = NA, nd = NA, dnd80 = NA, suma95 = NA, stock = NA)
  if (is.null(p) || length(p$f) != H || any(!is.finite(p$f))) return(m)
  e <- y - p$f
  if (mean(d^2) > 0) m[c("RMSSE", "MASE")] <- c(sqrt(mean(e^2) / mean(d^2)), mean(abs(e)) / mean(abs(d)))
  m["exactos"] <- mean(abs(e) < 1e-9)
  if (!is.null(p$hi95)) {
    dentro80 <- y >= p$lo80 & y <= p$hi80
    nd <- p$lo80 < p$hi80
    m[c("d80", "d95", "nd", "dnd80")] <- c(sum(dentro80), sum(y >= p$lo95 & y <= p$hi95), sum(nd), sum(dentro80 & nd))
    m[c("suma95", "stock")] <- c(sum(p$hi95), sum(y) <= sum(p$hi95))
  }
  m
}
por_serie <- do.call(rbind, lapply(names(prev), function(m) {
  do.call(rbind, lapply(seq_along(nombres), function(k) {
    p <- prev[[m]][[k]]
    data.frame(metodo = m, serie = nombres[k], clase = clase[k], t(medidas(p, nombres[k])),
               modelo = if (is.null(p$modelo)) NA else p$modelo, stringsAsFactors = FALSE)
  }))
}))
write.table(por_serie, file.path(trabajo, "intermitente_por_serie.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)

tiempos <- c(cero = NA, media12 = NA, `tendora-lote` = t_lote, croston = t_croston, ses = t_ses)
# NA rather than NaN where a method has no such measure.
media <- function(v) if (all(is.na(v))) NA else mean(v, na.rm = TRUE)
parte <- function(a, b) if (is.na(b) || b == 0) NA else round(100 * sum(a, na.rm = TRUE) / b, 1)
tabla <- do.call(rbind, lapply(names(prev), function(m) {
  x <- por_serie[por_serie$metodo == m, ]
  data.frame(metodo = m, series = sum(!is.na(x$exactos)), RMSSE = round(media(x$RMSSE), 4),
             MASE = round(media(x$MASE), 4), exactos = round(100 * media(x$exactos), 1),
             cob80 = parte(x$d80, H * sum(!is.na(x$d80))), cob95 = parte(x$d95, H * sum(!is.na(x$d95))),
             cob80_nd = parte(x$dnd80, sum(x$nd, na.rm = TRUE)), suma_sup95 = round(media(x$suma95), 2),
             stock95 = round(100 * media(x$stock), 1), s_serie = signif(tiempos[[m]] / length(nombres), 3))
}))
cat("\n")
print(tabla, row.names = FALSE)
write.table(tabla, file.path(trabajo, "intermitente.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)
sin_escala <- sum(sapply(nombres, function(s) mean(diff(as.numeric(series[[s]]$y))^2) == 0))
cat(sprintf("Series de historia constante, fuera de RMSSE y MASE: %d de %d\n", sin_escala, length(nombres)))
cat(sprintf("Suma real media de los %d meses reservados: %.2f\n", H,
            mean(sapply(nombres, function(s) sum(series[[s]]$real)))))
nd <- por_serie[por_serie$metodo == "tendora-lote", "nd"]
cat(sprintf("tendora-lote: intervalo del 80 %% reducido a un punto en el %.1f %% de los meses\n",
            100 * (1 - sum(nd, na.rm = TRUE) / (H * sum(!is.na(nd))))))
cat(sprintf("tendora-lote con un hilo: %.3g s/serie (%.2f s en total; con todos los núcleos %.2f s)\n",
            t_lote1 / length(nombres), t_lote1, t_lote))

cat("\nRMSSE por comportamiento\n")
por_clase <- with(por_serie, tapply(RMSSE, list(clase, metodo), mean, na.rm = TRUE))
print(round(cbind(series = table(clase), por_clase[, names(prev)]), 3))
cat("\nModelos que elige tendora-lote:\n")
print(sort(table(sub(" .*", "", sapply(prev$`tendora-lote`, function(p) if (is.null(p)) "ninguno" else p$modelo))),
           decreasing = TRUE))
