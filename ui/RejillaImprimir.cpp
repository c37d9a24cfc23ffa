// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RejillaImprimir.h"

#include "data/EscrituraSegura.h"
#include "ui/Modal.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include <QBoxLayout>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QHeaderView>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <stdexcept>

namespace tendora {

std::vector<PaginaRejilla> PaginarRejilla(const QList<int>& anchos, int filas, int altoFila, QSizeF pagina,
                                          bool repetirEncabezado)
{
    std::vector<PaginaRejilla> paginas;
    const int cols = static_cast<int>(anchos.size());
    if (cols == 0 || filas <= 0 || altoFila <= 0)
        return paginas;
    // Column bands: as many whole columns as fit, at least one.
    std::vector<std::pair<int, int>> bandas;
    for (int c = 0; c < cols;) {
        int ancho = anchos[c];
        int fin = c;
        while (fin + 1 < cols && ancho + anchos[fin + 1] <= pagina.width()) {
            ++fin;
            ancho += anchos[fin];
        }
        bandas.emplace_back(c, fin);
        c = fin + 1;
    }
    const int porPagina = std::max(1, static_cast<int>(pagina.height() / altoFila));
    for (const auto& [c0, c1] : bandas) {
        int r = 0;
        bool primera = true;
        while (r < filas) {
            PaginaRejilla p;
            p.colDesde = c0;
            p.colHasta = c1;
            p.conEncabezado = !primera && repetirEncabezado && porPagina > 1;
            const int caben = p.conEncabezado ? porPagina - 1 : porPagina;
            p.filaDesde = r;
            p.filaHasta = std::min(filas - 1, r + caben - 1);
            paginas.push_back(p);
            r = p.filaHasta + 1;
            primera = false;
        }
    }
    return paginas;
}

void PrepararImpresora(QPrinter& impresora)
{
    impresora.setPageOrientation(QPageLayout::Portrait);
    impresora.setFullPage(false);
    impresora.setPrintRange(QPrinter::AllPages);
}

int ImprimirRejilla(QPrinter& impresora, const Rejilla& rejilla, bool repetirEncabezado, const SeguirImpresion& seguir)
{
    const ModeloRejilla& m = *rejilla.Modelo();
    QPainter p;
    if (!p.begin(&impresora))
        return 0;
    // Grid pixels at the screen's 96 per inch: no fitting to the page.
    const double escala = impresora.resolution() / 96.0;
    const QRectF area = impresora.pageRect(QPrinter::DevicePixel);
    const QSizeF pagina(area.width() / escala, area.height() / escala);
    const QList<int> anchos = rejilla.AnchosColumnas();
    const int alto = rejilla.AltoFila();
    const auto paginas = PaginarRejilla(anchos, m.RowCount(), alto, pagina, repetirEncabezado);

    QFont normal = rejilla.font();
    normal.setPixelSize(QFontInfo(rejilla.font()).pixelSize());
    QFont negrita = rejilla.horizontalHeader()->font();
    negrita.setPixelSize(QFontInfo(rejilla.horizontalHeader()->font()).pixelSize());
    const QPalette pal = rejilla.palette();

    std::vector<int> x(anchos.size() + 1, 0);
    for (int c = 0; c < anchos.size(); ++c)
        x[c + 1] = x[c] + anchos[c];

    auto celda = [&](int c, int r, const QRectF& rc) {
        QBrush fondo;
        QColor texto;
        if (r == 0) {
            fondo = pal.brush(QPalette::Button);
            const QVariant v = m.headerData(c, Qt::Horizontal, Qt::ForegroundRole);
            texto = v.canConvert<QBrush>() ? v.value<QBrush>().color() : pal.color(QPalette::ButtonText);
        } else {
            const QModelIndex i = m.index(r - 1, c);
            const QVariant b = m.data(i, Qt::BackgroundRole);
            if (b.canConvert<QBrush>())
                fondo = b.value<QBrush>();
            else
                fondo = pal.brush((r - 1) % 2 == 0 ? QPalette::Base : QPalette::AlternateBase);
            const QVariant f = m.data(i, Qt::ForegroundRole);
            texto = f.canConvert<QBrush>() ? f.value<QBrush>().color() : pal.color(QPalette::Text);
        }
        p.fillRect(rc, fondo);
        p.setPen(QPen(Qt::black, 1.0));
        p.drawRect(rc);
        p.setPen(texto);
        p.setFont(r == 0 ? negrita : normal);
        p.drawText(rc.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m.Celda(c, r));
    };

    int hechas = 0;
    for (const PaginaRejilla& pg : paginas) {
        if (hechas > 0)
            impresora.newPage();
        p.save();
        p.scale(escala, escala);
        const double ancho = x[pg.colHasta + 1] - x[pg.colDesde];
        const double izquierda = std::max(0.0, (pagina.width() - ancho) / 2) - x[pg.colDesde];
        double y = 0;
        auto fila = [&](int r) {
            for (int c = pg.colDesde; c <= pg.colHasta; ++c)
                celda(c, r, QRectF(izquierda + x[c], y, anchos[c], alto));
            y += alto;
        };
        if (pg.conEncabezado)
            fila(0);
        for (int r = pg.filaDesde; r <= pg.filaHasta; ++r)
            fila(r);
        p.restore();
        ++hechas;
        if (seguir && hechas < static_cast<int>(paginas.size()) && !seguir(hechas, static_cast<int>(paginas.size())))
            break;
    }
    p.end();
    return hechas;
}

SeguirImpresion ProgresoImpresion(QWidget* padre, int esperaMs)
{
    using Reloj = std::chrono::steady_clock;
    // A million rows are tens of thousands of pages: minutes of painting
    // that the user must be able to see and stop.
    struct Estado {
        Reloj::time_point inicio = Reloj::now();
        Reloj::time_point ultima;
        std::unique_ptr<QProgressDialog> dialogo;
    };
    auto e = std::make_shared<Estado>();
    return [e, padre, esperaMs](int hechas, int total) {
        const Reloj::time_point ahora = Reloj::now();
        if (!e->dialogo) {
            if (ahora - e->inicio < std::chrono::milliseconds(esperaMs))
                return true;
            e->dialogo = std::make_unique<QProgressDialog>(padre);
            e->dialogo->setObjectName(QStringLiteral("ProgresoImpresion"));
            e->dialogo->setWindowTitle(QStringLiteral("Preparando las páginas"));
            e->dialogo->setCancelButtonText(QStringLiteral("Cancelar"));
            if (auto* cancelar = e->dialogo->findChild<QPushButton*>())
                cancelar->setObjectName(QStringLiteral("BBCancelar"));
            e->dialogo->setWindowModality(Qt::ApplicationModal);
            e->dialogo->setAutoClose(false);
            e->dialogo->setAutoReset(false);
            e->dialogo->setMinimumDuration(0);
            e->dialogo->setRange(0, total);
            e->dialogo->show();
        } else if (ahora - e->ultima < std::chrono::milliseconds(100)) {
            return !e->dialogo->wasCanceled();
        }
        e->ultima = ahora;
        e->dialogo->setLabelText(QStringLiteral("Página ") + TextoEntero(hechas) + QStringLiteral(" de ") +
                                 TextoEntero(total));
        // A modal progress window lets the events through as its value changes.
        e->dialogo->setValue(hechas);
        return !e->dialogo->wasCanceled();
    };
}

RejillaVistaPrevia::RejillaVistaPrevia(const Rejilla& rejilla, QWidget* parent)
    : QDialog(parent), rejilla_(rejilla), impresora_(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("AdvPreviewDialog1"));
    setWindowTitle(QStringLiteral("Preview"));
    const QPrinterInfo predeterminada = QPrinterInfo::defaultPrinter();
    if (!predeterminada.isNull())
        impresora_.setPrinterName(predeterminada.printerName());
    PrepararImpresora(impresora_);

    vista_ = new QPrintPreviewWidget(&impresora_, this);
    vista_->setViewMode(QPrintPreviewWidget::SinglePageView);
    vista_->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(vista_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* impresora) {
        ImprimirRejilla(*impresora, rejilla_, false, ProgresoImpresion(parentWidget() ? parentWidget() : this));
    });
    connect(vista_, &QPrintPreviewWidget::previewChanged, this, &RejillaVistaPrevia::Actualizar);

    anterior_ = new QPushButton(QStringLiteral("Previous"), this);
    siguiente_ = new QPushButton(QStringLiteral("Next"), this);
    imprimir_ = new QPushButton(QStringLiteral("Print"), this);
    cerrar_ = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {anterior_, siguiente_, imprimir_, cerrar_})
        b->setAutoDefault(false);
    connect(anterior_, &QPushButton::clicked, this, [this] {
        vista_->setCurrentPage(vista_->currentPage() - 1);
        Actualizar();
    });
    connect(siguiente_, &QPushButton::clicked, this, [this] {
        vista_->setCurrentPage(vista_->currentPage() + 1);
        Actualizar();
    });
    // Straight to the printer, without a set-up dialog; with no printer at all,
    // into a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        imprimir_->setToolTip(QStringLiteral("No hay ninguna impresora: la tabla se guarda como documento PDF"));
    connect(imprimir_, &QPushButton::clicked, this, &RejillaVistaPrevia::Imprimir);
    connect(cerrar_, &QPushButton::clicked, this, &QDialog::reject);

    auto* botones = new QHBoxLayout;
    botones->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : {anterior_, siguiente_, imprimir_, cerrar_})
        botones->addWidget(b);
    botones->addStretch(1);
    auto* capas = new QVBoxLayout(this);
    capas->setContentsMargins(4, 4, 4, 4);
    capas->addLayout(botones);
    capas->addWidget(vista_, 1);

    resize(350, 300);
    move(100, 100); // not centred
}

void RejillaVistaPrevia::Imprimir()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        vista_->print();
        return;
    }
    QFileDialog d(this, QStringLiteral("Imprimir en un documento PDF"));
    d.setObjectName(QStringLiteral("DialogoPdf"));
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilter(QStringLiteral("Documento PDF (*.pdf)"));
    d.setDefaultSuffix(QStringLiteral("pdf"));
    // The folder of the last PDF, or the user's documents the first time.
    static QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (QFileInfo(carpeta).isDir())
        d.setDirectory(carpeta);
    if (EjecutarModal(&d) != QDialog::Accepted || d.selectedFiles().isEmpty())
        return;
    ImprimirEnPdf(d.selectedFiles().constFirst());
    carpeta = QFileInfo(d.selectedFiles().constFirst()).absolutePath();
}

void RejillaVistaPrevia::ImprimirEnPdf(const QString& ruta)
{
    // Qt's PDF printer writes its file as it goes; a temporary one keeps the
    // user's file whole or untouched, through the one safe writer.
    errno = 0;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        const int codigo = errno;
        throw ErrorEscritura(MensajeEscritura(ruta, CausaCarpetaTemporal(codigo)).toStdString());
    }
    const QString temporal = dir.filePath(QStringLiteral("tabla.pdf"));
    {
        QPrinter pdf(QPrinter::HighResolution);
        PrepararImpresora(pdf);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setColorMode(QPrinter::Color);
        pdf.setOutputFileName(temporal);
        // Stopped halfway, nothing is written: the user's file stays as it was.
        bool parado = false;
        const SeguirImpresion seguir = ProgresoImpresion(this);
        ImprimirRejilla(pdf, rejilla_, false,
                        [&](int hechas, int total) { return !(parado = !seguir(hechas, total)); });
        if (parado)
            return;
    }
    // The printer does not report a failed write: a full temporary folder
    // leaves no file, or one cut short before its closing "%%EOF".
    QFile f(temporal);
    errno = 0;
    const QByteArray pdf = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (!pdf.trimmed().endsWith("%%EOF")) {
        const int codigo = errno;
        throw ErrorEscritura(MensajeEscritura(ruta, CausaCarpetaTemporal(codigo)).toStdString());
    }
    EscribirFicheroSeguro(ruta, pdf);
}

int RejillaVistaPrevia::Paginas() const
{
    return vista_->pageCount();
}

int RejillaVistaPrevia::PaginaActual() const
{
    return vista_->currentPage();
}

void RejillaVistaPrevia::Actualizar()
{
    anterior_->setEnabled(vista_->currentPage() > 1);
    siguiente_->setEnabled(vista_->currentPage() < vista_->pageCount());
}

} // namespace tendora
