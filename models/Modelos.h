#pragma once
// The twelve forecasting models and the computations they share.
// Each model reads history rows 1..NumDatos (column 4), writes its columns for
// rows up to NumDatos + V with their flags, and sets FilaInicioPrev and ColPrev
// last. An arithmetic failure throws ErrorAritmetico and leaves what was written.
#include "Aritmetica.h"
#include "Espacio.h"

namespace tendora {

// Parameter values as the model page holds them when a run starts.
struct Parametros {
    int N = 6;                 // SEN, already truncated
    double AlfaLE = 0.5;       // SEAlfaLE
    double AlfaTHT = 0.5;      // SEAlfaTHT
    double AlfaHLT = 0.5;      // SEAlfaHLT
    double BetaHLT = 0.5;      // SEBetaHLT
    double PhiHW = 0.5;        // SEPhiHW
    double AlfaCroston = 0.5;  // SEAlfaCroston
    bool PrevNeg = false;      // CBPrevNeg: negative forecasts allowed
    int V = 12;                // horizon
};

// Model item indices of the model selector.
enum ItemModelo {
    ItemNVS = 0, ItemNVE, ItemMMS, ItemMMD, ItemLES, ItemLED,
    ItemDST, ItemTHT, ItemHLT, ItemHW, ItemCRT, ItemSB
};

double RecortarNegativa(double x, bool prevNeg);
// Refuses a month outside 1..12 in rows 1..R and keeps each row's month in
// MesDeFila; the coefficient and deseasonalising steps read it from there.
void ComprobarMeses(Espacio& e, int R);
void MediasMovilesCentradas(Espacio& e);
void CalcularCoefEstacionales(Espacio& e); // after ComprobarMeses
void Desestacionalizar(Espacio& e);        // after ComprobarMeses
struct Recta { double b = 0.0; double a = 0.0; };
Recta RectaRegresion(const Espacio& e, int col, int primera, int ultima);
double MediaColumna(const Espacio& e, int col, int primera, int ultima);

void ModeloNVS(Espacio& e, bool prevNeg, int V);
void ModeloNVE(Espacio& e, bool prevNeg, int V);
void ModeloMMS(Espacio& e, int N, bool prevNeg, int V);
void ModeloMMD(Espacio& e, int N, bool prevNeg, int V);
void ModeloLES(Espacio& e, double alfa, bool prevNeg, int V);
void ModeloLED(Espacio& e, double alfa, bool prevNeg, int V);
void ModeloDST(Espacio& e, bool prevNeg, int V);
void ModeloTHT(Espacio& e, double alfa, bool prevNeg, int V);
void ModeloHLT(Espacio& e, double alfa, double beta, bool prevNeg, int V);
void ModeloHW(Espacio& e, double alfa, double beta, double phi, bool prevNeg, int V);
void ModeloCroston(Espacio& e, int variante, double alfa, bool prevNeg, int V);
void ModeloSB(Espacio& e, double alfa, bool prevNeg, int V);

// Runs the model of the given item with the given parameters (no dating).
void EjecutarModelo(Espacio& e, int item, const Parametros& p);

} // namespace tendora
