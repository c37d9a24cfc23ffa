// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One random session over a fresh main window: the commands it gives
// (SesionVentana.cpp), the dialogs it answers and the checks after every
// step (SesionComprobar.cpp).
#include "AyudasSesiones.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class TFormMain;
class QAbstractScrollArea;
class QDialog;
class QProgressDialog;
class QWidget;
namespace tendora {
class Grafico;
class Rejilla;
} // namespace tendora

namespace prueba {

struct Opciones {
    int pasos = 50;
    Conocidos conocidos;
    int grandes = 1; // the million-record file: 0 never, 1 now and then, 2 opened first
    QString ejemplos;
};

class Sesion : public QObject {
public:
    Sesion(uint64_t semilla, const Corpus& corpus, const Opciones& op, Vigia& vigia, std::string& informe);
    ~Sesion() override;
    // Runs the steps; false at the first fault found (Informe says which).
    bool Ejecutar();
    int PasosHechos() const { return hechos_; }
    QString Informe() const;

private:
    // ---- commands (SesionVentana.cpp) ----
    using Orden = void (Sesion::*)();
    struct Comando {
        const char* nombre;
        int peso;
        Orden orden;
    };
    static const std::vector<Comando>& Comandos();
    void Anotar(const QString& que);
    void Abrir();
    void Importar();
    void EditarTexto();
    void Cargar();
    void ElegirModelo();
    void Parametro();
    void HorizonteYReserva();
    void PrevisionesNegativas();
    void Calcular();
    void Comparar();
    void AplicarTodos();
    void Variacion();
    void ExAnte();
    void Arrastrar();
    void QuitarComparativas();
    void BorrarTabla();
    void BorrarErrores();
    void Deshacer();
    void GuardarYAbrirSesion();
    void ExportarTabla();
    void ExportarGrafico();
    void Guardar();
    void AnioMes();
    void CambiarPagina();
    void AplicarFila();
    void OrdenarErrores();
    void MarcasMenu();
    void Zoom();
    void Leyenda();
    void Tamano();
    void EditarGrafico();
    void Imprimir();
    void Automatica();
    void Intervalos();
    void AplicarCandidato();

    // Shared steps.
    QString TextoAlAzar();
    QString ValorAlAzar();
    QString FicheroAlAzar(const QStringList& fuentes, const QStringList& extensiones);
    void Teclear(QWidget* caja, const QString& texto);
    void MenuEn(QAbstractScrollArea* control, const char* menu, QPoint donde = QPoint(20, 20));
    void Disparar(const char* accion);
    bool Tecla(Qt::Key tecla, Qt::KeyboardModifiers mod);
    void MostrarPagina(const char* pagina);
    void Asentar();

    // ---- dialogs and checks (SesionComprobar.cpp) ----
    void Contestar();
    void ContestarFichero(QWidget* w);
    void ContestarRango(QWidget* w);
    void ContestarProgreso(QProgressDialog* p);
    void ContestarEditor(QDialog* d);
    void Comprobar();
    void ComprobarRejilla(tendora::Rejilla* g);
    void ComprobarGrafico(tendora::Grafico* g);
    void ComprobarTexto(const QString& donde, const QString& texto, bool citas = false);
    void ComprobarFichero(const QString& ruta, bool numeros = true);
    void ComprobarCarga(int totalAntes, int numAntes, int filasAntes, int erroresAntes, int mensajesAntes);
    void ComprobarCalculo(int ajusteAntes, int aciertoAntes, int mensajesAntes, int erroresAntes);
    int Etiquetadas(tendora::Rejilla* g) const;
    void Fallo(const QString& que);

    uint64_t semilla_;
    Azar az_;
    Azar azParadas_; // stops depend on timing: their own stream keeps the rest repeatable
    const Corpus& corpus_;
    Opciones op_;
    Vigia& vigia_;
    std::string& informe_;
    std::unique_ptr<TFormMain> w_;
    QTemporaryDir salida_;
    QStringList exportados_;
    QStringList registro_;
    QStringList fallos_;
    int hechos_ = 0;
    QString pasoActual_;
    int lineaPaso_ = -1; // the step's line in registro_

    // What the command waits for from the next file dialog: a path, or
    // nothing to cancel it; the filter to pick in a save dialog.
    bool planFichero_ = false;
    QString rutaPlan_, filtroPlan_;
    QStringList mensajes_; // the program's message dialogs
    QStringList errores_; // the standard error display
    qsizetype mensajesPaso_ = 0, erroresPaso_ = 0; // their counts as the step began
    QTimer timer_;
    bool contestando_ = false;
    QPointer<QWidget> importacion_;
    int intentosImportacion_ = 0;
    bool rellenoCancelado_ = false; // the question of the months missing answered "Cancelar"
    QPointer<QWidget> vistaPrevia_; // a print preview, closed once it has painted a while
    QPointer<QProgressDialog> progreso_;
    int refrescos_ = 0, esperaParada_ = 0;
    QString etiquetaProgreso_;
    bool parado_ = false;
    std::chrono::steady_clock::time_point inicioPaso_;
    bool textoEditado_ = false; // the data text changed since the last load
};

} // namespace prueba
