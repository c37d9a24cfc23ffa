// SPDX-License-Identifier: GPL-3.0-or-later
// The grid component on paper: paging, the print preview and printing to
// PDF when there is no printer.
#include "data/EscrituraSegura.h"
#include "ui/Rejilla.h"
#include "ui/RejillaImprimir.h"

#include "Ayudas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace tendora;
using namespace prueba;

namespace {

// 200 rows over 13 columns: more than one page, across and down.
void Larga(Rejilla& r)
{
    r.SetColCount(13);
    r.SetAnchosColumnas({100, 50});
    r.SetRowCount(201);
    for (int i = 1; i <= 200; ++i)
        r.SetNumero(1, i, i);
}

// Clicks the dialog's button with that caption, as the user does.
void Pulsar(QWidget* d, const QString& texto)
{
    for (QPushButton* b : d->findChildren<QPushButton*>())
        if (b->text() == texto)
            b->click();
}

} // namespace

class TstRejillaImprimir : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PonerLocale(false); }
    void cleanup() { PonerLocale(false); }

    void paginar();
    void vistaPrevia();
    void imprimirSinImpresoraEnPdf();
    void pdfConCarpetaTemporalLlena();
    void vistaPreviaLargaSePuedeParar();
};

void TstRejillaImprimir::paginar()
{
    QList<int> anchos = {100};
    for (int i = 0; i < 12; ++i)
        anchos << 50;
    // By hand: 600 px wide pages take columns 0..10 (600 px), then 11..12;
    // 500 px high ones take 27 rows of 18 px, so 100 rows need 4 pages per band.
    const auto p = PaginarRejilla(anchos, 100, 18, QSizeF(600, 500), false);
    QCOMPARE(p.size(), size_t(8));
    QCOMPARE(p[0], (PaginaRejilla{0, 26, 0, 10, false}));
    QCOMPARE(p[1], (PaginaRejilla{27, 53, 0, 10, false}));
    QCOMPARE(p[3], (PaginaRejilla{81, 99, 0, 10, false}));
    QCOMPARE(p[4], (PaginaRejilla{0, 26, 11, 12, false}));
    // Repeating the header leaves 26 rows for the others: 0..26, 27..52, 53..78, 79..99.
    const auto q = PaginarRejilla(anchos, 100, 18, QSizeF(1000, 500), true);
    QCOMPARE(q.size(), size_t(4));
    QCOMPARE(q[1], (PaginaRejilla{27, 52, 0, 12, true}));
    QCOMPARE(q[3], (PaginaRejilla{79, 99, 0, 12, true}));
    // A column wider than the page gets a page to itself.
    const auto w = PaginarRejilla({700, 50}, 2, 18, QSizeF(600, 500), false);
    QCOMPARE(w.size(), size_t(2));
    QCOMPARE(w[1].colDesde, 1);
}

void TstRejillaImprimir::vistaPrevia()
{
    Rejilla r;
    Larga(r);
    int paginas = -1, paginaTrasSiguiente = -1;
    QString titulo, nombre;
    QSize tam;
    QPoint pos;
    QStringList botones;
    bool hecho = false;
    Responder([&](QWidget* w) {
        auto* d = qobject_cast<RejillaVistaPrevia*>(w);
        if (!d || !d->isVisible() || d->Paginas() == 0)
            return false;
        titulo = d->windowTitle();
        nombre = d->objectName();
        tam = d->size();
        pos = d->pos();
        paginas = d->Paginas();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            botones << b->text();
        Pulsar(d, "Next");
        paginaTrasSiguiente = d->PaginaActual();
        Pulsar(d, "Close");
        return hecho = true;
    });
    r.VistaPrevia();
    QVERIFY(hecho);
    QCOMPARE(titulo, QString("Preview"));
    QCOMPARE(nombre, QString("AdvPreviewDialog1"));
    QCOMPARE(tam, QSize(350, 300));
    QCOMPARE(pos, QPoint(100, 100));
    botones.sort();
    QCOMPARE(botones, QStringList({"Close", "Next", "Previous", "Print"}));
    // The preview shows the pages the pagination gives for its printer's page.
    QPrinter impresora(QPrinter::HighResolution);
    PrepararImpresora(impresora);
    const double escala = impresora.resolution() / 96.0;
    const QRectF area = impresora.pageRect(QPrinter::DevicePixel);
    const auto plan =
        PaginarRejilla(r.AnchosColumnas(), 201, 18, QSizeF(area.width() / escala, area.height() / escala), false);
    QVERIFY(plan.size() > 1);
    QCOMPARE(paginas, static_cast<int>(plan.size()));
    QCOMPARE(paginaTrasSiguiente, 2);
}

void TstRejillaImprimir::imprimirSinImpresoraEnPdf()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("This machine has printers; \"Print\" goes to them.");
    Rejilla r;
    Larga(r);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("tabla"));
    int paginas = -1;
    bool hecho = false;
    // "Print" asks for the file and writes it; the name gets ".pdf".
    std::function<void()> mirar = [&] {
        QWidget* activo = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<RejillaVistaPrevia*>(activo); d && d->isVisible() && d->Paginas() > 0) {
            if (hecho) {
                d->reject();
                return;
            }
            paginas = d->Paginas();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == "Print")
                    QTimer::singleShot(0, b, &QPushButton::click);
        } else if (auto* f = qobject_cast<QFileDialog*>(activo); f && f->objectName() == "DialogoPdf") {
            // As the user does it: the folder, then the name typed.
            f->setDirectory(dir.path());
            f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("tabla"));
            QMetaObject::invokeMethod(f, "accept");
            hecho = true;
        }
        QTimer::singleShot(20, mirar);
    };
    QTimer::singleShot(0, mirar);
    r.VistaPrevia();
    QVERIFY(hecho);
    const QByteArray pdf = Leer(ruta + QStringLiteral(".pdf"));
    QVERIFY(pdf.startsWith("%PDF-"));
    // As many pages as the preview shows.
    QVERIFY(paginas > 1);
    QCOMPARE(int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r")), paginas);
}

// The PDF is put together in the temporary folder; when that is full the
// user is told so and where, and no file is left half written.
void TstRejillaImprimir::pdfConCarpetaTemporalLlena()
{
    QTemporaryDir dir;
    const QString temporal = dir.filePath(QStringLiteral("temporal"));
    const QByteArray m = QFile::encodeName(temporal);
    if (::geteuid() != 0 || !QDir().mkpath(temporal) || ::mount("tmpfs", m.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("Needs root and a tmpfs mount to make a full temporary folder.");
    {
        // Filled to the last byte.
        QFile f(temporal + QStringLiteral("/relleno"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray bloque(4096, 'x');
        while (f.write(bloque) == bloque.size()) { }
        while (f.write("x", 1) == 1) { }
    }
    const QByteArray antes = qgetenv("TMPDIR");
    qputenv("TMPDIR", m);
    Rejilla r;
    Larga(r);
    const QString ruta = dir.filePath(QStringLiteral("tabla.pdf"));
    QString mensaje;
    {
        RejillaVistaPrevia d(r, nullptr);
        try {
            d.ImprimirEnPdf(ruta);
        } catch (const ErrorEscritura& e) {
            mensaje = QString::fromUtf8(e.what());
        }
    }
    if (antes.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", antes);
    if (::umount(m.constData()) != 0)
        ::umount2(m.constData(), MNT_DETACH);
    QCOMPARE(mensaje, QStringLiteral("No se pudo guardar el fichero «tabla.pdf»: no queda espacio en la carpeta "
                                     "temporal «%1», donde se prepara el fichero antes de guardarlo. Libere espacio "
                                     "en ella, o elija otra con la variable TMPDIR, y vuelva a intentarlo. No se ha "
                                     "creado ningún fichero.")
                          .arg(temporal));
    QVERIFY(!QFileInfo::exists(ruta));
}

QTEST_MAIN(TstRejillaImprimir)
#include "tst_rejilla_imprimir.moc"

void TstRejillaImprimir::vistaPreviaLargaSePuedeParar()
{
    // 300 000 rows are thousands of pages, minutes of painting: the preview
    // shows its progress and "Cancelar" stops it at the page being painted.
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(300001);
    std::vector<double> v(300000);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = double(i + 1);
    r.SetColumnaNumeros(1, 1, v.data(), int(v.size()));
    QString titulo, etiqueta;
    Responder([&](QWidget* w) {
        auto* p = qobject_cast<QProgressDialog*>(w);
        if (!p || !p->isVisible() || p->objectName() != QLatin1String("ProgresoImpresion"))
            return false;
        titulo = p->windowTitle();
        etiqueta = p->labelText();
        Control<QPushButton>(p, "BBCancelar")->click();
        return true;
    });
    int paginas = -1;
    Responder(
        [&](QWidget* w) {
            auto* d = qobject_cast<RejillaVistaPrevia*>(w);
            if (!d || !d->isVisible())
                return false;
            paginas = d->Paginas();
            Pulsar(d, "Close");
            return true;
        },
        3000);
    QElapsedTimer reloj;
    reloj.start();
    r.VistaPrevia();
    QCOMPARE(titulo, QStringLiteral("Preparando las páginas"));
    QVERIFY2(etiqueta.startsWith(QStringLiteral("Página ")), qPrintable(etiqueta));
    QPrinter impresora(QPrinter::HighResolution);
    PrepararImpresora(impresora);
    const double escala = impresora.resolution() / 96.0;
    const QRectF area = impresora.pageRect(QPrinter::DevicePixel);
    const auto plan = PaginarRejilla(r.AnchosColumnas(), r.RowCount(), r.AltoFila(),
                                     QSizeF(area.width() / escala, area.height() / escala), false);
    // Stopped: some pages, not all of them, and well before the whole would take.
    QVERIFY(paginas >= 1);
    QVERIFY2(paginas < int(plan.size()), qPrintable(QStringLiteral("%1 de %2").arg(paginas).arg(plan.size())));
    QVERIFY2(reloj.elapsed() < 60000, qPrintable(QString::number(reloj.elapsed())));
}
