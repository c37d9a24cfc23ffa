// Temporary: the experiments are being written.
#include "MainUnit.h"
void TFormMain::Aplicartodoslosmtodos1Click() {}
void TFormMain::Variacindeparmetros1Click() {}
void TFormMain::Simulacinexante1Click() {}
