// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ImportarUnit.h"

#include "data/Huecos.h"
#include "ui/Modal.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <optional>

using namespace tendora;

namespace {

constexpr int kFilasVista = 12;
constexpr int kColumnasVista = 26;
// Item data of the date box: a column pair (year, month) is told from a single column by this offset.
constexpr int kPar = 100000;

} // namespace

TFormImportar::TFormImportar(QWidget* owner, const QList<Tabla>& tablas, const QString& nombreFichero)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_tablas(tablas)
{
    setObjectName("FormImportar");
    setWindowTitle(QStringLiteral("Importar"));
    setModal(true);

    // A workbook opens on its first sheet with data.
    int primera = -1;
    QString error;
    for (int i = 0; i < m_tablas.size() && primera < 0; ++i) {
        try {
            Detectar(m_tablas[i]);
            primera = i;
        } catch (const ErrorImportacion& e) {
            if (error.isEmpty())
                error = e.Mensaje();
        }
    }
    if (primera < 0)
        throw ErrorImportacion(error.isEmpty() ? QStringLiteral("No hay datos que importar.") : error);

    LabelFichero = new QLabel(QStringLiteral("Fichero: %1").arg(nombreFichero), this);
    LabelFichero->setObjectName("LabelFichero");
    LabelHoja = new QLabel(QStringLiteral("Hoja:"), this);
    LabelHoja->setObjectName("LabelHoja");
    CBHoja = new QComboBox(this);
    CBHoja->setObjectName("CBHoja");
    for (const Tabla& t : m_tablas)
        CBHoja->addItem(t.nombre);
    const bool libro = m_tablas.constFirst().libro;
    LabelHoja->setVisible(libro);
    CBHoja->setVisible(libro);
    CBFecha = new QComboBox(this);
    CBFecha->setObjectName("CBFecha");
    CBValor = new QComboBox(this);
    CBValor->setObjectName("CBValor");
    CBFecha->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    CBValor->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    TablaVista = new QTableWidget(this);
    TablaVista->setObjectName("TablaVista");
    TablaVista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TablaVista->setSelectionMode(QAbstractItemView::NoSelection);
    TablaVista->setFocusPolicy(Qt::NoFocus); // Enter belongs to "Aceptar"
    TablaVista->setMinimumHeight(280);
    TablaVista->verticalHeader()->setDefaultSectionSize(TablaVista->fontMetrics().height() + 6);

    LabelDeteccion = new QLabel(this);
    LabelDeteccion->setObjectName("LabelDeteccion");
    LabelDeteccion->setWordWrap(true);
    LabelResultado = new QLabel(this);
    LabelResultado->setObjectName("LabelResultado");
    LabelResultado->setWordWrap(true);
    LabelOmitidas = new QLabel(this);
    LabelOmitidas->setObjectName("LabelOmitidas");
    LabelOmitidas->setWordWrap(true);
    LabelOmitidas->setVisible(false);

    tendora::CrearBotonesAceptarCancelar(this, BBAceptar, BBCancelar);
    BBCancelar->setAutoDefault(false);

    auto* elecciones = new QFormLayout();
    // Boxes as wide as their texts, not as the dialog.
    elecciones->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    elecciones->addRow(LabelHoja, CBHoja);
    elecciones->addRow(QStringLiteral("Columna de la fecha:"), CBFecha);
    elecciones->addRow(QStringLiteral("Columna del valor:"), CBValor);
    auto* botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(BBAceptar);
    botones->addWidget(BBCancelar);
    auto* l = new QVBoxLayout(this);
    l->addWidget(LabelFichero);
    l->addWidget(TablaVista, 1);
    l->addLayout(elecciones);
    l->addWidget(LabelDeteccion);
    l->addWidget(LabelResultado);
    l->addWidget(LabelOmitidas);
    l->addSpacing(6);
    l->addLayout(botones);
    resize(760, 560);

    {
        const QSignalBlocker b(CBHoja);
        CBHoja->setCurrentIndex(primera);
    }
    ElegirHoja(primera);
    connect(CBHoja, &QComboBox::currentIndexChanged, this, &TFormImportar::ElegirHoja);
    connect(CBFecha, &QComboBox::currentIndexChanged, this, &TFormImportar::ElegirColumnas);
    connect(CBValor, &QComboBox::currentIndexChanged, this, &TFormImportar::ElegirColumnas);

    if (owner) {
        const QWidget* w = owner->window();
        move(w->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void TFormImportar::ElegirHoja(int hoja)
{
    m_hoja = std::clamp(hoja, 0, int(m_tablas.size()) - 1);
    m_errorHoja.clear();
    try {
        m_det = Detectar(m_tablas[m_hoja]);
    } catch (const ErrorImportacion& e) {
        m_det = Deteccion();
        m_errorHoja = e.Mensaje();
    }
    LlenarColumnas();
    Mostrar();
}

void TFormImportar::LlenarColumnas()
{
    const Tabla& t = m_tablas[m_hoja];
    const int columnas = t.Columnas();
    auto titulo = [&](int c) {
        const QString cab = m_det.filasCabecera > 0 ? t.En(m_det.filasCabecera - 1, c).texto.simplified() : QString();
        return cab.isEmpty() ? t.NombreColumna(c) : QStringLiteral("%1: %2").arg(t.NombreColumna(c), cab.left(30));
    };
    const QSignalBlocker b1(CBFecha);
    const QSignalBlocker b2(CBValor);
    CBFecha->clear();
    CBValor->clear();
    CBFecha->addItem(QStringLiteral("Ninguna (se pedirán el año y el mes iniciales)"), -1);
    for (int c = 0; c < columnas; ++c)
        CBFecha->addItem(titulo(c), c);
    for (int c = 0; c + 1 < columnas; ++c)
        CBFecha->addItem(QStringLiteral("%1 (año) y %2 (mes)").arg(t.NombreColumna(c), t.NombreColumna(c + 1)),
                         kPar + c);
    for (int c = 0; c < columnas; ++c)
        CBValor->addItem(titulo(c), c);
    const int fecha = m_det.forma == FormaFecha::Ninguna    ? -1
                      : m_det.forma == FormaFecha::AnioYMes ? kPar + m_det.colFecha
                                                            : m_det.colFecha;
    CBFecha->setCurrentIndex(std::max(0, CBFecha->findData(fecha)));
    CBValor->setCurrentIndex(std::max(0, CBValor->findData(m_det.colValor)));
}

void TFormImportar::ElegirColumnas()
{
    if (!m_errorHoja.isEmpty())
        return;
    const Tabla& t = m_tablas[m_hoja];
    const int fecha = CBFecha->currentData().toInt();
    if (fecha < 0) {
        m_det.forma = FormaFecha::Ninguna;
        m_det.colFecha = -1;
    } else if (fecha >= kPar) {
        m_det.forma = FormaFecha::AnioYMes;
        m_det.colFecha = fecha - kPar;
    } else {
        m_det.colFecha = fecha;
        m_det.forma = FormaDeColumna(t, m_det, fecha);
    }
    m_det.colValor = CBValor->currentIndex() >= 0 ? CBValor->currentData().toInt() : -1;
    Mostrar();
}

void TFormImportar::Mostrar()
{
    const Tabla& t = m_tablas[m_hoja];
    const int filas = std::min(int(t.filas.size()), kFilasVista);
    const int columnas = std::min(t.Columnas(), kColumnasVista);
    TablaVista->clear();
    TablaVista->setRowCount(filas);
    TablaVista->setColumnCount(columnas);
    QStringList cabeceras, lineas;
    for (int c = 0; c < columnas; ++c)
        cabeceras << t.NombreColumna(c);
    for (int f = 0; f < filas; ++f)
        lineas << QString::number(!t.libro && f < t.lineas.size() ? t.lineas[f] : f + 1);
    TablaVista->setHorizontalHeaderLabels(cabeceras);
    TablaVista->setVerticalHeaderLabels(lineas);
    // Header rows greyed; the date and value columns tinted as chosen, in
    // the rows taken; the rows left out plain.
    const bool hayFecha = m_errorHoja.isEmpty() && m_det.forma != FormaFecha::Ninguna;
    std::optional<Importe> importe;
    QString error;
    if (m_errorHoja.isEmpty()) {
        try {
            importe = ConvertirImporte();
        } catch (const ErrorImportacion& e) {
            error = e.Mensaje();
        }
    }
    const int desde = importe ? importe->desde : m_det.filasCabecera;
    const int hasta = importe ? importe->hasta : filas - 1;
    for (int f = 0; f < filas; ++f)
        for (int c = 0; c < columnas; ++c) {
            auto* item = new QTableWidgetItem(t.En(f, c).texto);
            if (f >= m_det.filasCabecera && (f < desde || f > hasta)) {
                item->setForeground(QColor(128, 128, 128));
            } else if (f < m_det.filasCabecera) {
                // Readable, but plainly not data.
                item->setBackground(QColor(236, 236, 236));
                QFont fuente = item->font();
                fuente.setBold(true);
                item->setFont(fuente);
            } else if (hayFecha &&
                       (c == m_det.colFecha || (m_det.forma == FormaFecha::AnioYMes && c == m_det.colFecha + 1))) {
                item->setBackground(QColor(220, 232, 250));
            } else if (m_errorHoja.isEmpty() && c == m_det.colValor) {
                item->setBackground(QColor(222, 244, 222));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            TablaVista->setItem(f, c, item);
        }
    TablaVista->resizeColumnsToContents();
    for (int c = 0; c < columnas; ++c)
        TablaVista->setColumnWidth(c, std::min(TablaVista->columnWidth(c), 220));

    LabelOmitidas->clear();
    LabelOmitidas->setVisible(false);
    if (!m_errorHoja.isEmpty()) {
        LabelDeteccion->clear();
        LabelResultado->setStyleSheet(QStringLiteral("color: #b00000;"));
        LabelResultado->setText(m_errorHoja);
        return;
    }
    LabelDeteccion->setText(DescribirDeteccion(t, m_det));
    if (!importe) {
        LabelResultado->setStyleSheet(QStringLiteral("color: #b00000;"));
        LabelResultado->setText(error);
        return;
    }
    {
        const Importe& imp = *importe;
        const std::vector<Mes>& meses = imp.meses;
        LabelResultado->setStyleSheet(QString());
        QString resultado =
            ConFecha() ? QStringLiteral("Se importarán %1 meses, de %2/%3 a %4/%5.")
                             .arg(meses.size())
                             .arg(meses.front().mes)
                             .arg(meses.front().anio)
                             .arg(meses.back().mes)
                             .arg(meses.back().anio)
                       : QStringLiteral("Se importarán %1 valores; al aceptar se piden el año y el mes iniciales.")
                             .arg(meses.size());
        // Months missing: told here, asked about on accepting.
        std::vector<Registro> registros;
        std::vector<bool> sinValor;
        for (const Mes& m : meses) {
            registros.push_back(Registro{double(m.anio), double(m.mes), m.valor});
            sinValor.push_back(m.sinValor);
        }
        if (!ConFecha())
            for (size_t k = 0; k < registros.size(); ++k)
                registros[k] = Registro{double(k / 12), double(k % 12 + 1), registros[k].Valor};
        if (const Huecos h = BuscarHuecos(registros, sinValor); h.Hay())
            resultado += QLatin1Char(' ') +
                         DescribirHuecos(registros, h, [&](int k) { return LugarValor(meses[size_t(k)]); }) +
                         QStringLiteral(" Al aceptar se pregunta cómo rellenarlos.");
        LabelResultado->setText(resultado);
        LabelOmitidas->setText(imp.omitidas);
        LabelOmitidas->setVisible(!imp.omitidas.isEmpty());
    }
}

std::vector<Mes> TFormImportar::Convertir() const
{
    return ConvertirImporte().meses;
}

Importe TFormImportar::ConvertirImporte() const
{
    if (!m_errorHoja.isEmpty())
        throw ErrorImportacion(m_errorHoja);
    return tendora::ConvertirImporte(m_tablas[m_hoja], m_det);
}

QString TFormImportar::LugarValor(const Mes& m) const
{
    return m_tablas[m_hoja].Lugar(m.fila, m_det.colValor);
}
