// Temporary: the charts are being written.
#include "MainUnit.h"
void TFormMain::DibujarGraficos(bool) {}
void TFormMain::AnadirSerieComparativa() {}
void TFormMain::EliminarSeriesComparativas() {}
void TFormMain::AplicarMostrarAjuste() {}
void TFormMain::ReiniciarArrastre() { PuntoArrastrado = -1; ArrastreX = -1.0; ArrastreY = -1.0; }
void TFormMain::Compararmodelos1Click() {}
void TFormMain::TBCompararClick() {}
