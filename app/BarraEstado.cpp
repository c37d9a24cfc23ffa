// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BarraEstado.h"

#include "data/Numeros.h"
#include "ui/PaginaSeleccion.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <cmath>

namespace tendora {

namespace {

// A duration with as many decimals as make sense for its size: 0,0042; 0,42; 3,5; 120.
QString Duracion(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return TextoGeneral(0.0);
    // Below 1, two significant digits: a short run must not read as 0.
    const double escala = x < 1.0 ? std::pow(10.0, 1.0 - std::floor(std::log10(x))) : x < 100.0 ? 10.0 : 1.0;
    return TextoGeneral(std::round(x * escala) / escala);
}

QString Cuenta(long long n, const QString& singular, const QString& plural)
{
    return TextoEntero(n) + QLatin1Char(' ') + (n == 1 ? singular : plural);
}

QString Fecha(int anio, int mes)
{
    return BarraEstado::NombreMes(mes) + QStringLiteral(" de ") + QString::number(anio);
}

QString Nombre(const QString& ruta)
{
    return QFileInfo(ruta).fileName();
}

} // namespace

BarraEstado::BarraEstado(QStatusBar* barra) : etiqueta_(new QLabel(barra))
{
    etiqueta_->setObjectName("LabelEstado");
    barra->addWidget(etiqueta_, 1);
}

QString BarraEstado::NombreMes(int mes)
{
    // Spanish whatever the user's locale: the program speaks Spanish.
    return mes >= 1 && mes <= 12 ? QLocale(QLocale::Spanish, QLocale::Spain).monthName(mes, QLocale::LongFormat)
                                 : QString();
}

void BarraEstado::Cargados(const Espacio& ws, const Demanda& demanda)
{
    const int registros = ws.TotalDatos;
    const int anio0 = static_cast<int>(ws.V(1, 2)), mes0 = static_cast<int>(ws.V(1, 3));
    const int anio1 = static_cast<int>(ws.V(registros, 2)), mes1 = static_cast<int>(ws.V(registros, 3));
    const int sinUsar = ws.TotalDatos - ws.NumDatos;
    QString t = (registros == 1 ? QStringLiteral("Cargado ") : QStringLiteral("Cargados ")) +
                Cuenta(registros, QStringLiteral("registro"), QStringLiteral("registros")) + QStringLiteral(", de ") +
                Fecha(anio0, mes0) + QStringLiteral(" a ") + Fecha(anio1, mes1) + QStringLiteral("; ");
    t += sinUsar > 0 ? TextoEntero(sinUsar) + QStringLiteral(" sin usar.") : QStringLiteral("ninguno sin usar.");
    Poner(t + QLatin1Char(' ') + PaginaSeleccion::TextoDemanda(demanda));
}

void BarraEstado::Calculado(const QString& etiqueta, double milisegundos)
{
    Poner(QStringLiteral("Calculado ") + etiqueta + QStringLiteral(" en ") + Duracion(milisegundos) +
          QStringLiteral(" ms"));
}

void BarraEstado::Experimento(const Experimentos::Resumen& r)
{
    QString t = r.titulo + QStringLiteral(": ");
    if (r.interrumpido)
        t += QStringLiteral("interrumpido en el paso ") + TextoEntero(r.pasos) + QStringLiteral(" de ") +
             TextoEntero(r.total);
    else
        t += Cuenta(r.pasos, QStringLiteral("paso"), QStringLiteral("pasos"));
    t += QStringLiteral(", ") + Cuenta(r.fallidos, QStringLiteral("fallido"), QStringLiteral("fallidos")) +
         QStringLiteral(", en ") +
         (r.segundos < 1.0 ? Duracion(r.segundos * 1000.0) + QStringLiteral(" ms")
                           : Duracion(r.segundos) + QStringLiteral(" s"));
    Poner(t);
}

void BarraEstado::Automatica(bool ganador, const QString& etiqueta, const QString& criterio, const QString& valor)
{
    Poner((ganador ? QStringLiteral("Previsión automática: ") : QStringLiteral("Candidato aplicado: ")) + etiqueta +
          QStringLiteral(", ") + criterio + QLatin1Char(' ') + valor);
}

void BarraEstado::AutomaticaInterrumpida()
{
    Poner(QStringLiteral("Previsión automática interrumpida: no se ha cambiado nada."));
}

void BarraEstado::Abierto(const QString& ruta)
{
    Poner(QStringLiteral("Abierto ") + Nombre(ruta) + QStringLiteral(": pulse Cargar para usar sus datos"));
}

void BarraEstado::Importado(const QString& ruta)
{
    Poner(QStringLiteral("Importado ") + Nombre(ruta) + QStringLiteral(": pulse Cargar para usar sus datos"));
}

void BarraEstado::Guardado(const QString& ruta)
{
    Poner(QStringLiteral("Datos guardados en ") + Nombre(ruta));
}

void BarraEstado::TablaExportada(const QString& ruta)
{
    Poner(QStringLiteral("Tabla exportada a ") + Nombre(ruta));
}

void BarraEstado::GraficoExportado(const QString& ruta)
{
    Poner(QStringLiteral("Gráfico exportado a ") + Nombre(ruta));
}

void BarraEstado::Deshecho(const QString& orden, bool rehecho)
{
    Poner((rehecho ? QStringLiteral("Rehecho: ") : QStringLiteral("Deshecho: ")) + orden);
}

void BarraEstado::SesionGuardada(const QString& ruta)
{
    Poner(QStringLiteral("Sesión guardada en ") + Nombre(ruta));
}

void BarraEstado::SesionAbierta(const QString& ruta, const QString& aviso)
{
    Poner(QStringLiteral("Sesión abierta de ") + Nombre(ruta) +
          (aviso.isEmpty() ? QString() : QStringLiteral(": ") + aviso));
}

void BarraEstado::Limpiar()
{
    Poner(QString());
}

void BarraEstado::TextoDatos(bool cambiado)
{
    cambiado_ = cambiado;
    Mostrar();
}

QString BarraEstado::Texto() const
{
    return etiqueta_->text();
}

// A command's own sentence wins over the reminder until the text is edited again.
void BarraEstado::Poner(const QString& texto)
{
    ultimo_ = texto;
    etiqueta_->setText(ultimo_);
}

void BarraEstado::Mostrar()
{
    etiqueta_->setText(cambiado_ ? QStringLiteral("El texto de Datos ha cambiado: pulse Cargar") : ultimo_);
}

} // namespace tendora
