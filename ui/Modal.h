// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Modal dialogs that leave nothing behind that takes input.
class QDialog;
class QPushButton;
class QWidget;

namespace tendora {

// Shows d modally and returns its result. A pop-up still open when it closes
// (the completer of a file name typed and confirmed with Enter) is closed
// too: otherwise it keeps the mouse and eats the user's next click.
int EjecutarModal(QDialog* d);

// Closes every pop-up window left open, and the completer lists of w's line edits.
void CerrarEmergentes(QWidget* w = nullptr);

// The dialogs' "Aceptar" (BBAceptar, the default) and "Cancelar" (BBCancelar)
// buttons, connected to accept and reject; the caller lays them out.
void CrearBotonesAceptarCancelar(QDialog* d, QPushButton*& aceptar, QPushButton*& cancelar);

} // namespace tendora
