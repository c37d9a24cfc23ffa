// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmap export and printing of a Grafico.
#include "ui/Grafico.h"
#include "ui/GraficoComun.h"

#include "data/EscrituraSegura.h"
#include "ui/Modal.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QSvgGenerator>

#include <stdexcept>

namespace tendora {

namespace {

[[noreturn]] void SinImagen(const QString& fichero)
{
    throw std::runtime_error(QStringLiteral("No se pudo guardar el fichero «%1»: no se ha podido generar la imagen "
                                            "del gráfico.")
                                 .arg(QDir::toNativeSeparators(QFileInfo(fichero).absoluteFilePath()))
                                 .toStdString());
}

} // namespace

class Grafico::ParaSalida {
public:
    explicit ParaSalida(Grafico& g) : g_(g)
    {
        g_.m_leyendaLlana = true;
        g_.m_capaLeyenda->update();
    }
    ~ParaSalida()
    {
        g_.m_leyendaLlana = false;
        g_.m_capaLeyenda->update();
    }
    ParaSalida(const ParaSalida&) = delete;
    ParaSalida& operator=(const ParaSalida&) = delete;

private:
    Grafico& g_;
};

void Grafico::ListoParaPintar()
{
    ActualizarAhora();
    // Qt Charts lays out axis labels and the title from the event loop; without
    // this the picture lacks them.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ActualizarAhora();
    m_banda->hide();
}

void Grafico::ExportarBMP(const QString& fichero)
{
    ExportarMapaDeBits(fichero, "BMP");
}

void Grafico::ExportarMapaDeBits(const QString& fichero, const char* formato)
{
    ListoParaPintar();
    const ParaSalida salida(*this);
    const QPixmap imagen = grab();
    // Encoded in memory first, so the file is written whole or not at all.
    QByteArray bytes;
    QBuffer memoria(&bytes);
    memoria.open(QIODevice::WriteOnly);
    if (imagen.isNull() || !imagen.save(&memoria, formato))
        SinImagen(fichero);
    EscribirFicheroSeguro(fichero, bytes);
}

void Grafico::Exportar(const QString& fichero)
{
    const QString ext = QFileInfo(fichero).suffix().toLower();
    if (ext == QLatin1String("png") || ext.isEmpty())
        return ExportarMapaDeBits(fichero, "PNG");
    if (ext == QLatin1String("bmp"))
        return ExportarMapaDeBits(fichero, "BMP");
    if (ext != QLatin1String("svg") && ext != QLatin1String("pdf"))
        throw std::runtime_error(QStringLiteral("No se ha exportado el gráfico: «.%1» no es la extensión de ningún "
                                                "formato de imagen. Escriba .png, .svg, .pdf o .bmp, o ninguna para "
                                                "usar la del tipo elegido.")
                                     .arg(QFileInfo(fichero).suffix())
                                     .toStdString());
    ListoParaPintar();
    const QRectF origen = chart()->mapRectToScene(QRectF(QPointF(0.0, 0.0), chart()->size()));
    if (origen.isEmpty())
        SinImagen(fichero);
    const ParaSalida salida(*this);
    QByteArray bytes;
    QBuffer memoria(&bytes);
    memoria.open(QIODevice::WriteOnly);
    if (ext == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&memoria);
        svg.setSize(origen.size().toSize());
        svg.setViewBox(QRectF(QPointF(0.0, 0.0), origen.size()));
        svg.setTitle(chart()->title());
        QPainter pintor(&svg);
        scene()->render(&pintor, QRectF(QPointF(0.0, 0.0), origen.size()), origen);
        if (!pintor.end())
            SinImagen(fichero);
    } else {
        // One landscape page the shape of the chart, drawn as vectors.
        QPdfWriter pdf(&memoria);
        pdf.setTitle(chart()->title());
        pdf.setCreator(QStringLiteral("Tendora"));
        pdf.setPageSize(QPageSize(origen.size() * 0.75, QPageSize::Point)); // 96 px per inch on screen
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter pintor;
        if (!pintor.begin(&pdf))
            SinImagen(fichero);
        const QRect hoja = pdf.pageLayout().fullRectPixels(pdf.resolution());
        scene()->render(&pintor, QRectF(hoja), origen, Qt::KeepAspectRatio);
        if (!pintor.end())
            SinImagen(fichero);
    }
    EscribirFicheroSeguro(fichero, bytes);
}

void Grafico::PintarPagina(QPainter* pintor, const QRectF& pagina)
{
    ActualizarAhora();
    const QMarginsF& m = m_margenesImpresion;
    const qreal w = pagina.width(), h = pagina.height();
    const QRectF destino =
        pagina.adjusted(w * m.left() / 100.0, h * m.top() / 100.0, -w * m.right() / 100.0, -h * m.bottom() / 100.0);
    if (destino.width() <= 0.0 || destino.height() <= 0.0)
        return;
    m_banda->hide();
    const QRectF origen = chart()->mapRectToScene(QRectF(QPointF(0.0, 0.0), chart()->size()));
    const ParaSalida salida(*this);
    // The scene is drawn as vectors, so the page gets full resolution, not a stretched bitmap.
    scene()->render(pintor, destino, origen, Qt::KeepAspectRatio);
}

void Grafico::VistaPreviaImpresion(QWidget* dueno)
{
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setPageOrientation(QPageLayout::Landscape);
    // Margins are a share of the whole sheet, not of the printable area.
    impresora.setFullPage(true);
    QPrintPreviewDialog vista(&impresora, dueno);
    vista.setObjectName(QStringLiteral("VistaPreviaGrafico"));
    vista.setWindowTitle(QStringLiteral("Vista previa del gráfico"));
    connect(&vista, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        QPainter pintor(p);
        const QRect hoja = p->pageLayout().fullRectPixels(p->resolution());
        PintarPagina(&pintor, QRectF(QPointF(0.0, 0.0), QSizeF(hoja.size())));
    });
    EjecutarModal(&vista);
}

} // namespace tendora
