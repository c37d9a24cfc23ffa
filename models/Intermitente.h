// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Intermittent demand: the class of a series by the interval between its
// demands and the spread of their sizes, and the Teunter–Syntetos–Babai
// method, whose forecast falls while no demand comes. Standard C++ only.
#include <string_view>
#include <vector>

namespace tendora {

// Syntetos, Boylan & Croston (2005): cut-offs ADI 1.32 and CV² 0.49.
enum class ClaseDemanda { Regular, Erratica, Intermitente, Irregular, PocosDatos };
constexpr double CorteADI = 1.32;
constexpr double CorteCV2 = 0.49;

struct Demanda {
    ClaseDemanda Clase = ClaseDemanda::PocosDatos;
    // Mean interval between successive non-zero demands, and the squared
    // coefficient of variation of their sizes; 0 with fewer than two demands.
    double ADI = 0;
    double CV2 = 0;
    int NoNulas = 0; // non-zero demands
};
// The values y[0..n); a value at or under 0 is no demand.
Demanda ClasificarDemanda(const double* y, int n);
// "regular", "errática", "intermitente", "irregular", "pocos datos" (UTF-8).
std::string_view NombreClase(ClaseDemanda c);

// Teunter, Syntetos & Babai (2011): every period the demand probability p
// moves towards 1 when there is a demand and towards 0 when there is none,
// p += beta (I - p); the size z moves only with a demand, z += alfa (y - z).
// Both start at the first demand: z its size, p one over the months it took.
// The forecast of every later month is p z, so it decays over a run of zeros.
// The state month by month, for the fit loops that need no table.
struct EstadoTSB {
    double P = 0, Z = 0;
    int Meses = 0; // months read
    bool Iniciado = false; // a demand has been read
    double Prevision() const { return P * Z; }
    void Leer(double y, double alfa, double beta)
    {
        ++Meses;
        if (!Iniciado) {
            if (y > 0) {
                Z = y;
                P = 1.0 / Meses;
                Iniciado = true;
            }
        } else if (y > 0) {
            P += beta * (1.0 - P);
            Z += alfa * (y - Z);
        } else {
            P -= beta * P;
        }
    }
};
struct ResultadoTSB {
    std::vector<double> Ajuste; // one-step forecasts of months 1..n (0 before the first demand)
    std::vector<double> Prevision; // months n+1..n+V, all p z
    double P = 0, Z = 0; // at the end of the history
};
ResultadoTSB ModeloTSB(const double* y, int n, double alfa, double beta, int V);

} // namespace tendora
