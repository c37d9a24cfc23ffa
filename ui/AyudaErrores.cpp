// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AyudaErrores.h"

#include "ui/Ayuda.h"
#include "models/Medidas.h"

#include <algorithm>
#include <array>

namespace tendora {

namespace {

// e, b and d as the measures read them; MRAE to LMR and the PB measures
// compare the model with the naive benchmark, MASE and RMSSE with the
// seasonal naive forecast's errors in the fitting rows.
constexpr std::array<AyudaColumnaError, NumColumnasError> Columnas = {{
    {"Modelo", "Etiqueta del cálculo",
     "Lleva el código del modelo, sus parámetros entre paréntesis y, si se reservaron valores finales del histórico, "
     "« T-» y su número: así se distinguen también los orígenes de una simulación ex-ante.",
     nullptr},
    {"MSE", "Error cuadrático medio", "Σ <var>e</var>² / <var>N</var>", "Cuanto menor, mejor."},
    {"RMSE", "Raíz del error cuadrático medio", "√MSE", "Cuanto menor, mejor; en las unidades de los datos."},
    {"MAE", "Error absoluto medio", "Σ |<var>e</var>| / <var>N</var>",
     "Cuanto menor, mejor; en las unidades de los datos."},
    {"MAPE", "Error porcentual absoluto medio",
     "100 · Σ |<var>e</var> / <var>A</var>| / <var>N</var><sub>A</sub> &nbsp;(filas con <var>A</var> ≠ 0)",
     "Cuanto menor, mejor; en porcentaje del dato."},
    {"sMAPE", "Error porcentual absoluto medio simétrico",
     "100 · Σ 2 |<var>e</var> / (<var>A</var> + <var>F</var>)| / <var>N</var><sub>S</sub> &nbsp;(filas con "
     "<var>A</var> + <var>F</var> ≠ 0)",
     "Cuanto menor, mejor; en porcentaje."},
    {"MRAE", "Media del error absoluto relativo",
     "Σ |<var>e</var> / <var>b</var>| / <var>N</var><sub>R</sub> &nbsp;(filas con referencia y <var>b</var> ≠ 0)",
     "Cuanto menor, mejor; 1: como la referencia ingenua, menos de 1: mejor que ella."},
    {"RelMAE", "MAE relativo", "MAE / MAE de la referencia",
     "Cuanto menor, mejor; 1: igual que la referencia ingenua, menos de 1: mejor que ella."},
    {"RelRMSE", "RMSE relativo", "√MSE / √MSE de la referencia",
     "Cuanto menor, mejor; 1: igual que la referencia ingenua, menos de 1: mejor que ella."},
    {"LMR", "Logaritmo del RMSE relativo", "ln(RelRMSE)",
     "Cuanto menor, mejor; 0: igual que la referencia ingenua, negativo: mejor que ella."},
    {"PB", "Porcentaje mejor (errores con signo)",
     "100 · (filas con <var>b</var> &gt; <var>e</var>) / <var>N</var><sub>B</sub>",
     "Cuanto mayor, mejor: 100 si <var>b</var> &gt; <var>e</var> en todas las filas, 0 si en ninguna."},
    {"PBMAE", "Porcentaje mejor en error absoluto",
     "100 · (filas con |<var>e</var>| &lt; |<var>b</var>|) / <var>N</var><sub>B</sub>",
     "Cuanto mayor, mejor: 100 si el modelo se equivoca menos que la referencia en todas las filas, 0 si en "
     "ninguna."},
    {"PBMSE", "Porcentaje mejor en error cuadrático",
     "100 · (filas con <var>e</var>² &lt; <var>b</var>²) / <var>N</var><sub>B</sub>",
     "Cuanto mayor, mejor: 100 si el modelo se equivoca menos que la referencia en todas las filas, 0 si en "
     "ninguna."},
    {"MASE", "Error absoluto medio escalado", "MAE / (Σ |<var>d</var>| / <var>N</var><sub>D</sub>)",
     "Cuanto menor, mejor; 1: como la previsión ingenua estacional dentro del ajuste, menos de 1: mejor que ella."},
    {"RMSSE", "Raíz del error cuadrático medio escalado", "√(MSE / (Σ <var>d</var>² / <var>N</var><sub>D</sub>))",
     "Cuanto menor, mejor; 1: como la previsión ingenua estacional dentro del ajuste, menos de 1: mejor que ella."},
    {"ME", "Error medio (sesgo)", "Σ <var>e</var> / <var>N</var>",
     "Cuanto más cerca de 0, mejor; positivo: el modelo prevé de menos, negativo: prevé de más; en las unidades "
     "de los datos."},
}};

} // namespace

const AyudaColumnaError& AyudaColumna(int col)
{
    return Columnas[size_t(std::clamp(col, 0, NumColumnasError - 1))];
}

QString TextoAyudaColumna(int col)
{
    const AyudaColumnaError& a = AyudaColumna(col);
    const QString cabecera = QString::fromUtf8(a.Cabecera);
    QString t = QStringLiteral("<b>%1</b> · %2<br>").arg(cabecera, QString::fromUtf8(a.Nombre));
    if (!a.Mejor)
        return TextoAyudaEmergente(t + QString::fromUtf8(a.Formula));
    t += cabecera + QStringLiteral(" = ") + QString::fromUtf8(a.Formula) + QStringLiteral("<br>") +
         QString::fromUtf8(a.Mejor);
    // Every measure reads e; MRAE to PBMSE read b as well, MASE and RMSSE d.
    t += QStringLiteral("<br><small><var>e</var> = <var>A</var> − <var>F</var>: dato menos modelo");
    if (col >= ColErrMRAE && col <= ColErrPBMSE)
        t += QStringLiteral("; <var>b</var> = <var>A</var> − <var>B</var>: dato menos referencia ingenua");
    if (col == ColErrMASE || col == ColErrRMSSE)
        t += QStringLiteral("; <var>d</var> = <var>A</var>(<var>t</var>) − <var>A</var>(<var>t</var>−12): error "
                            "de la previsión ingenua estacional en los datos del ajuste, sin los valores "
                            "reservados (con menos de 13 datos, <var>A</var>(<var>t</var>) − "
                            "<var>A</var>(<var>t</var>−1)); <var>N</var><sub>D</sub>: cuántos hay");
    return TextoAyudaEmergente(t + QStringLiteral("</small>"));
}

} // namespace tendora
