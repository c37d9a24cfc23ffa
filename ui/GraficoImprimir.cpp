// Bitmap export and printing of a Grafico.
#include "Grafico.h"

#include "EscrituraSegura.h"
#include "Modal.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRubberBand>

#include <stdexcept>

namespace tendora {

void Grafico::ExportarBMP(const QString& fichero)
{
    ActualizarAhora();
    // Qt Charts lays out axis labels and the title from the event loop; without
    // this the picture lacks them.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ActualizarAhora();
    m_banda->hide();
    const QPixmap imagen = grab();
    // Encoded in memory first, so the file is written whole or not at all.
    QByteArray bmp;
    QBuffer memoria(&bmp);
    memoria.open(QIODevice::WriteOnly);
    if (imagen.isNull() || !imagen.save(&memoria, "BMP"))
        throw std::runtime_error(QStringLiteral("No se pudo guardar el fichero «%1»: no se ha podido generar la imagen "
                                                "del gráfico.")
                                     .arg(QDir::toNativeSeparators(QFileInfo(fichero).absoluteFilePath()))
                                     .toStdString());
    EscribirFicheroSeguro(fichero, bmp);
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
