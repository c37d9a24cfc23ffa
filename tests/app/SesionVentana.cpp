// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of a random session, each given as the user gives it.
#include "SesionVentana.h"

#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

using namespace tendora;

namespace prueba {

Sesion::Sesion(uint64_t semilla, const Corpus& corpus, const Opciones& op, Vigia& vigia, std::string& informe)
    : semilla_(semilla), az_(semilla * 0x9E3779B97F4A7C15ULL + 1), azParadas_(semilla ^ 0x5DEECE66DULL),
      corpus_(corpus), op_(op), vigia_(vigia), informe_(informe)
{
    // Half the sessions write numbers with a decimal comma.
    PonerLocale(az_.Moneda(0.5));
    w_.reset(CrearVentanas());
    // The indicator of a long experiment shows at once, soon or as it does for the user.
    w_->EsperaProgresoMs = az_.Uno<int>({0, 300, 1500});
    w_->resize(1100, 760);
    w_->show();
    if (!QTest::qWaitForWindowExposed(w_.get()))
        Fallo(QStringLiteral("la ventana no llegó a mostrarse"));
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { Contestar(); });
    timer_.start();
}

Sesion::~Sesion()
{
    // The session ends as the program does: "Salir" closes the window, then it goes.
    Disparar("Salir1");
    Asentar();
    timer_.stop();
    w_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QLocale::setDefault(QLocale::c());
}

const std::vector<Sesion::Comando>& Sesion::Comandos()
{
    static const std::vector<Comando> c = {
        {"Abrir", 6, &Sesion::Abrir},
        {"Importar", 4, &Sesion::Importar},
        {"Editar texto", 8, &Sesion::EditarTexto},
        {"Cargar", 12, &Sesion::Cargar},
        {"Modelo", 8, &Sesion::ElegirModelo},
        {"Parámetro", 6, &Sesion::Parametro},
        {"Horizonte y reserva", 5, &Sesion::HorizonteYReserva},
        {"Previsiones negativas", 1, &Sesion::PrevisionesNegativas},
        {"Calcular", 14, &Sesion::Calcular},
        {"Comparar", 5, &Sesion::Comparar},
        {"Aplicar todos", 3, &Sesion::AplicarTodos},
        {"Variación", 3, &Sesion::Variacion},
        {"Ex-ante", 3, &Sesion::ExAnte},
        {"Arrastrar", 5, &Sesion::Arrastrar},
        {"Quitar comparativas", 2, &Sesion::QuitarComparativas},
        {"Borrar tabla", 2, &Sesion::BorrarTabla},
        {"Borrar errores", 1, &Sesion::BorrarErrores},
        {"Deshacer", 3, &Sesion::Deshacer},
        {"Sesión", 1, &Sesion::GuardarYAbrirSesion},
        {"Exportar tabla", 3, &Sesion::ExportarTabla},
        {"Exportar gráfico", 2, &Sesion::ExportarGrafico},
        {"Guardar", 1, &Sesion::Guardar},
        {"Año y mes", 1, &Sesion::AnioMes},
        {"Página", 6, &Sesion::CambiarPagina},
        {"Aplicar fila", 2, &Sesion::AplicarFila},
        {"Ordenar errores", 1, &Sesion::OrdenarErrores},
        {"Marcas de menú", 2, &Sesion::MarcasMenu},
        {"Zoom", 1, &Sesion::Zoom},
        {"Leyenda", 2, &Sesion::Leyenda},
        {"Tamaño", 1, &Sesion::Tamano},
        {"Editar gráfico", 1, &Sesion::EditarGrafico},
        {"Imprimir", 1, &Sesion::Imprimir},
        {"Previsión automática", 2, &Sesion::Automatica},
        {"Intervalos", 2, &Sesion::Intervalos},
        {"Aplicar candidato", 1, &Sesion::AplicarCandidato},
    };
    return c;
}

bool Sesion::Ejecutar()
{
    std::vector<int> pesos;
    for (const Comando& c : Comandos())
        pesos.push_back(c.peso);
    for (hechos_ = 0; hechos_ < op_.pasos && fallos_.isEmpty();) {
        // A session starts as the user does: data into the text, then loaded.
        const Comando& c = hechos_ == 0   ? Comando{"Abrir", 0, &Sesion::Abrir}
                           : hechos_ == 1 ? Comando{"Cargar", 0, &Sesion::Cargar}
                                          : Comandos()[size_t(az_.Peso(pesos))];
        pasoActual_ = QString::fromUtf8(c.nombre);
        ++hechos_;
        inicioPaso_ = std::chrono::steady_clock::now();
        parado_ = false;
        mensajesPaso_ = mensajes_.size();
        erroresPaso_ = errores_.size();
        lineaPaso_ = -1;
        Anotar(pasoActual_);
        (this->*c.orden)();
        Asentar();
        const double seg = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicioPaso_).count();
        if (seg > 0.5)
            registro_[lineaPaso_] += QStringLiteral("  [%1 s]").arg(seg, 0, 'f', 1);
        Comprobar();
        vigia_.Terminar();
    }
    return fallos_.isEmpty();
}

// The step's line in the log; what the watchdog and a crash report print.
void Sesion::Anotar(const QString& que)
{
    if (lineaPaso_ < 0) {
        registro_ << QString();
        lineaPaso_ = int(registro_.size()) - 1;
    }
    registro_[lineaPaso_] = QStringLiteral("%1. %2").arg(hechos_).arg(que);
    informe_ = Informe().toStdString();
    vigia_.PonerContexto(informe_);
    vigia_.Empezar(QStringLiteral("semilla %1, paso %2: %3").arg(semilla_).arg(hechos_).arg(que).toStdString());
}

QString Sesion::Informe() const
{
    QString t = QStringLiteral("Semilla %1 (TENDORA_SEMILLA=%1), paso %2 de %3, locale %4\n")
                    .arg(semilla_)
                    .arg(hechos_)
                    .arg(op_.pasos)
                    .arg(QLocale().name());
    for (const QString& f : fallos_)
        t += QStringLiteral("FALLO: ") + f + QLatin1Char('\n');
    t += QStringLiteral("Pasos:\n  ") + registro_.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    return t;
}

// ---------------------------------------------------------------- shared steps

void Sesion::Asentar()
{
    // Repaints, deferred deletions and late layouts happen as after any user action.
    QTest::qWait(1);
    QCoreApplication::processEvents();
}

void Sesion::Disparar(const char* accion)
{
    Control<QAction>(w_, accion)->trigger();
}

// A key of the window's menus, pressed where the user has the focus.
bool Sesion::Tecla(Qt::Key tecla, Qt::KeyboardModifiers mod)
{
    // The user clicks into the window first: a dialog closed a moment ago
    // may still count as the active window on a platform without a window
    // manager, and on an X server without one nothing may take the focus at
    // all; then the menu item does it.
    if (QApplication::activeWindow() != w_.get()) {
        QApplication::setActiveWindow(w_.get());
        if (!QTest::qWaitForWindowActive(w_.get(), 500)) {
            registro_[lineaPaso_] += QStringLiteral(" (sin foco: por el menú)");
            return false;
        }
    }
    QWidget* foco = QApplication::focusWidget();
    QTest::keyClick(foco && foco->window() == w_.get() ? foco : w_.get(), tecla, mod);
    return true;
}

void Sesion::MostrarPagina(const char* pagina)
{
    Control<QTabWidget>(w_, "PageControl1")->setCurrentWidget(Control<QWidget>(w_, pagina));
    QTest::qWait(10);
}

// Opens the control's pop-up menu with a right click at donde, as its items
// then act on it; the item is triggered by the caller.
void Sesion::MenuEn(QAbstractScrollArea* control, const char* menu, QPoint donde)
{
    QContextMenuEvent e(QContextMenuEvent::Mouse, donde, control->viewport()->mapToGlobal(donde));
    QApplication::sendEvent(control->viewport(), &e);
    Control<QMenu>(w_, menu)->hide();
}

void Sesion::Teclear(QWidget* caja, const QString& texto)
{
    caja->setFocus();
    QTest::keyClick(caja, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(caja, Qt::Key_Delete);
    if (!texto.isEmpty())
        QTest::keyClicks(caja, texto);
    // Enter or leaving the box: both end the edit.
    if (az_.Moneda(0.5))
        QTest::keyClick(caja, Qt::Key_Return);
    else
        Control<QPlainTextEdit>(w_, "Memo1")->setFocus();
}

QString Sesion::ValorAlAzar()
{
    QStringList v = {"0",
                     "1",
                     "-5",
                     "12.5",
                     "12,5",
                     "1e300",
                     "-1e300",
                     "1e308",
                     "3.5e-12",
                     "1e-290",
                     "1E+5",
                     "",
                     "abc",
                     "nan",
                     "inf",
                     "-inf",
                     "1e400",
                     "0,0001",
                     "99999999999999999999",
                     "12 5",
                     "1.234,5",
                     "--3",
                     "5e",
                     "0x10"};
    return az_.Uno(std::vector<QString>(v.begin(), v.end()));
}

// A data text as a user pastes it: a series of some kind and length, now and
// then with a bad line.
QString Sesion::TextoAlAzar()
{
    std::vector<Forma> formas = {Forma::Estacional,   Forma::Enorme,    Forma::Ceros,    Forma::Negativa,
                                 Forma::Intermitente, Forma::Constante, Forma::Escalones};
    if (op_.conocidos.Con("diminutos"))
        formas.insert(formas.end(), {Forma::Diminuta15, Forma::Diminuta290});
    const Forma f = az_.Uno(formas);
    const int n = az_.Uno<int>({1, 2, 3, 4, 5, 12, 13, 24, 25, 36, 60, 100, 144, 300, 2000});
    const uint64_t sal = az_.Bruto() % 97;
    const QChar decimal = az_.Moneda(0.5) ? QLatin1Char('.') : QLatin1Char(',');
    QString t = TextoSerie(
        n, [f, sal](int i) { return ValorForma(f, i, sal); }, az_.Entero(1900, 2030), az_.Entero(1, 12), decimal);
    if (az_.Moneda(0.15)) {
        QStringList lineas = t.split(QLatin1Char('\n'));
        std::vector<QString> malas = {"2000\t1",  "x\ty\tz",      "2000\t13\t5",    "2000\t0\t5",    "\t\t",
                                      "2000 1 5", "2000\t1\tnan", "2000\t1\t1e400", "2000\t1\t5\t6", "-2000\t1\t5"};
        if (op_.conocidos.Con("fecha"))
            malas.insert(malas.end(), {"2147483648\t1\t5", "2000\t2147483648\t5", "99999999999\t99999999999\t1"});
        lineas.insert(az_.Entero(0, int(lineas.size()) - 1), az_.Uno(malas));
        t = lineas.join(QLatin1Char('\n'));
    }
    return t;
}

// A file of the corpus or one this session wrote, with one of the extensions.
QString Sesion::FicheroAlAzar(const QStringList& fuentes, const QStringList& extensiones)
{
    QStringList candidatos = fuentes;
    for (const QString& e : exportados_)
        for (const QString& x : extensiones)
            if (e.endsWith(x))
                candidatos << e;
    return candidatos.at(az_.Entero(0, int(candidatos.size()) - 1));
}

// ---------------------------------------------------------------- commands

void Sesion::Abrir()
{
    planFichero_ = true;
    rutaPlan_ = hechos_ > 1 && az_.Moneda(0.1) ? QString() : FicheroAlAzar(corpus_.texto, {".txt", ".csv"});
    // The million records: now and then, or first thing when the run is about them.
    const bool grande = op_.grandes == 2 ? hechos_ == 1 : op_.grandes == 1 && az_.Moneda(0.02);
    if (!corpus_.grandes.isEmpty() && grande)
        rutaPlan_ = az_.Uno(std::vector<QString>(corpus_.grandes.begin(), corpus_.grandes.end()));
    filtroPlan_.clear();
    Anotar(QStringLiteral("Abrir %1").arg(rutaPlan_.isEmpty() ? QStringLiteral("(cancelado)") : rutaPlan_));
    if (az_.Moneda(0.5))
        Disparar("Abrir1");
    else
        Control<QToolButton>(w_, "TBAbrir")->click();
    planFichero_ = false;
    registro_[lineaPaso_] += QStringLiteral(" (%1 líneas)").arg(Control<QPlainTextEdit>(w_, "Memo1")->blockCount());
    textoEditado_ = true;
}

void Sesion::Importar()
{
    planFichero_ = true;
    rutaPlan_ = az_.Moneda(0.1) ? QString() : FicheroAlAzar(corpus_.hojas, {".csv", ".xlsx", ".txt"});
    filtroPlan_.clear();
    intentosImportacion_ = 0;
    Anotar(QStringLiteral("Importar %1").arg(rutaPlan_.isEmpty() ? QStringLiteral("(cancelado)") : rutaPlan_));
    Disparar("Importar1");
    planFichero_ = false;
    textoEditado_ = true;
}

void Sesion::EditarTexto()
{
    auto* memo = Control<QPlainTextEdit>(w_, "Memo1");
    const int lineas = memo->document()->blockCount();
    const auto irA = [memo](int linea) {
        QTextCursor c(memo->document()->findBlockByNumber(linea));
        memo->setTextCursor(c);
        memo->setFocus();
    };
    textoEditado_ = true;
    switch (az_.Entero(0, 5)) {
    case 0: { // pasted whole
        const QString t = TextoAlAzar();
        Anotar(QStringLiteral("Editar: pegar %1 líneas").arg(t.count(QLatin1Char('\n')) + 1));
        memo->selectAll();
        memo->insertPlainText(t);
        break;
    }
    case 1: { // one value retyped
        const int l = az_.Entero(0, std::max(lineas - 1, 0));
        const QString v = ValorAlAzar();
        Anotar(QStringLiteral("Editar: valor de la línea %1 = \"%2\"").arg(l + 1).arg(v));
        irA(l);
        const QString linea = memo->textCursor().block().text();
        const qsizetype tab = linea.lastIndexOf(QLatin1Char('\t'));
        QTest::keyClick(memo, Qt::Key_End);
        for (qsizetype k = linea.size(); k > tab + 1; --k)
            QTest::keyClick(memo, Qt::Key_Backspace);
        if (!v.isEmpty())
            QTest::keyClicks(memo, v);
        break;
    }
    case 2: { // the last lines cut
        const int l = az_.Entero(0, std::max(lineas - 1, 0));
        Anotar(QStringLiteral("Editar: borrar desde la línea %1 de %2").arg(l + 1).arg(lineas));
        irA(l);
        QTextCursor c = memo->textCursor();
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
        QTest::keyClick(memo, Qt::Key_Delete);
        break;
    }
    case 3: { // months typed at the end
        const int n = az_.Entero(1, 4);
        Anotar(QStringLiteral("Editar: teclear %1 líneas al final").arg(n));
        memo->moveCursor(QTextCursor::End);
        memo->setFocus();
        for (int i = 0; i < n; ++i) {
            QTest::keyClick(memo, Qt::Key_Return);
            QTest::keyClicks(memo, QStringLiteral("2100\t%1\t%2").arg(i % 12 + 1).arg(ValorAlAzar()));
        }
        break;
    }
    case 4: // emptied
        Anotar(QStringLiteral("Editar: vaciar"));
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memo, Qt::Key_Delete);
        break;
    default: { // a line removed in the middle
        const int l = az_.Entero(0, std::max(lineas - 1, 0));
        Anotar(QStringLiteral("Editar: quitar la línea %1").arg(l + 1));
        irA(l);
        QTest::keyClick(memo, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(memo, Qt::Key_Delete);
        QTest::keyClick(memo, Qt::Key_Delete);
        break;
    }
    }
}

void Sesion::Cargar()
{
    const int total = w_->Ws.TotalDatos, num = w_->Ws.NumDatos;
    const int filas = Control<Rejilla>(w_, "AdvStringGridPrevision")->RowCount();
    const int errores = int(errores_.size()), mensajes = int(mensajes_.size());
    rellenoCancelado_ = false;
    switch (az_.Entero(0, 2)) {
    case 0: Control<QToolButton>(w_, "TBTransferir")->click(); break;
    case 1: Disparar("Transferiratabladeprevisin1"); break;
    default:
        Anotar(QStringLiteral("Cargar (Ctrl+L)"));
        if (!Tecla(Qt::Key_L, Qt::ControlModifier))
            Disparar("Transferiratabladeprevisin1");
        break;
    }
    ComprobarCarga(total, num, filas, errores, mensajes);
    if (!rellenoCancelado_ && errores_.size() == errores &&
        (mensajes_.size() == mensajes || !mensajes_.constLast().startsWith("No hay datos")))
        textoEditado_ = false;
}

void Sesion::ElegirModelo()
{
    const int item = az_.Entero(0, w_->findChildren<QRadioButton*>(QRegularExpression("^RGModelo\\d+$")).size() - 1);
    Anotar(QStringLiteral("Modelo %1").arg(item));
    MostrarPagina("TabSheetModelo");
    QTest::mouseClick(Control<QRadioButton>(w_, QStringLiteral("RGModelo%1").arg(item).toLatin1().constData()),
                      Qt::LeftButton);
}

void Sesion::Parametro()
{
    static const char* const cajas[] = {"SEN",       "SEAlfaLE", "SEAlfaTHT",    "SEAlfaHLT",
                                        "SEBetaHLT", "SEPhiHW",  "SEAlfaCroston"};
    const char* nombre = cajas[az_.Entero(0, 6)];
    auto* caja = Control<QAbstractSpinBox>(w_, nombre);
    MostrarPagina("TabSheetModelo");
    if (az_.Moneda(0.25)) {
        const int pasos = az_.Entero(-3, 3);
        Anotar(QStringLiteral("Parámetro %1: %2 pasos").arg(QLatin1String(nombre)).arg(pasos));
        caja->setFocus();
        for (int k = 0; k < std::abs(pasos); ++k)
            QTest::keyClick(caja, pasos > 0 ? Qt::Key_Up : Qt::Key_Down);
        return;
    }
    std::vector<QString> textos;
    if (qobject_cast<QSpinBox*>(caja)) {
        textos = {"", "0", "1", "2", "3", "6", "12", "13", "24", "-1", "-6", "abc", "500"};
        if (op_.conocidos.Con("n"))
            textos.insert(textos.end(), {"2147483647", "-2147483647", "99999", "1000000"});
    } else {
        const QString coma = QLocale().decimalPoint();
        textos = {"",
                  "0",
                  "1",
                  "0" + coma + "5",
                  "0" + coma + "01",
                  "0" + coma + "99",
                  "1" + coma + "5",
                  "-0" + coma + "3",
                  "abc",
                  "5"};
    }
    const QString t = az_.Uno(textos);
    Anotar(QStringLiteral("Parámetro %1 = \"%2\"").arg(QLatin1String(nombre)).arg(t));
    Teclear(caja, t);
}

void Sesion::HorizonteYReserva()
{
    const bool horizonte = az_.Moneda(0.5);
    const char* nombre = horizonte ? "SEValoresPrever" : "SEPuntosSinUsar";
    const std::vector<QString> textos =
        horizonte ? std::vector<QString>{"", "0", "1", "2", "12", "13", "24", "100", "999", "5000", "-1"}
                  : std::vector<QString>{"", "0", "1", "2", "6", "12", "24", "50", "100", "200"};
    const QString t = az_.Uno(textos);
    Anotar(QStringLiteral("%1 = \"%2\"").arg(QLatin1String(nombre)).arg(t));
    MostrarPagina("TabSheetModelo");
    Teclear(Control<QSpinBox>(w_, nombre), t);
}

void Sesion::PrevisionesNegativas()
{
    MostrarPagina("TabSheetModelo");
    QTest::mouseClick(Control<QCheckBox>(w_, "CBPrevNeg"), Qt::LeftButton);
}

void Sesion::Calcular()
{
    const int ajuste = Etiquetadas(Control<Rejilla>(w_, "AdvSGErrAjuste"));
    const int acierto = Etiquetadas(Control<Rejilla>(w_, "AdvSGErrAcierto"));
    const int mensajes = int(mensajes_.size()), errores = int(errores_.size());
    switch (az_.Entero(0, 2)) {
    case 0: Control<QToolButton>(w_, "TBCalcular")->click(); break;
    case 1: Disparar("Caluclarprevisin1"); break;
    default:
        Anotar(QStringLiteral("Calcular (F9)"));
        if (!Tecla(Qt::Key_F9, Qt::NoModifier))
            Disparar("Caluclarprevisin1");
        break;
    }
    ComprobarCalculo(ajuste, acierto, mensajes, errores);
}

void Sesion::Comparar()
{
    if (az_.Moneda(0.5))
        Control<QToolButton>(w_, "TBComparar")->click();
    else
        Disparar("Compararmodelos1");
}

void Sesion::AplicarTodos()
{
    Disparar("Aplicartodoslosmtodos1");
}

void Sesion::Variacion()
{
    // Only models with parameters vary them; the menu item says which.
    if (!Control<QAction>(w_, "Variacindeparmetros1")->isEnabled()) {
        const int item = az_.Entero(2, 11);
        Anotar(QStringLiteral("Variación, antes modelo %1").arg(item));
        QTest::mouseClick(Control<QRadioButton>(w_, QStringLiteral("RGModelo%1").arg(item).toLatin1().constData()),
                          Qt::LeftButton);
    }
    Disparar("Variacindeparmetros1");
}

void Sesion::ExAnte()
{
    Disparar("Simulacinexante1");
}

void Sesion::AnioMes()
{
    Disparar("AadircolumnasdeAoyMes1");
    textoEditado_ = true;
}

void Sesion::CambiarPagina()
{
    auto* paginas = Control<QTabWidget>(w_, "PageControl1");
    const int k = az_.Entero(0, paginas->count() - 1);
    Anotar(QStringLiteral("Página %1").arg(paginas->tabText(k)));
    if (!paginas->isTabEnabled(k))
        return;
    paginas->setCurrentIndex(k);
    QTest::qWait(az_.Entero(5, 60));
}

// A double click on a row of an error table runs its configuration again.
void Sesion::AplicarFila()
{
    const char* nombre = az_.Moneda(0.6) ? "AdvSGErrAjuste" : "AdvSGErrAcierto";
    auto* g = Control<Rejilla>(w_, nombre);
    MostrarPagina(nombre[8] == 'j' ? "TabSheetErrAjuste" : "TabSheetErrAcierto");
    const int filas = g->model()->rowCount();
    if (filas == 0)
        return;
    const int fila = az_.Entero(0, filas - 1);
    Anotar(QStringLiteral("Aplicar la fila %1 de %2").arg(fila + 1).arg(QLatin1String(nombre)));
    g->scrollTo(g->model()->index(fila, 1));
    QTest::qWait(5);
    const QRect r = g->visualRect(g->model()->index(fila, 1));
    if (r.isEmpty())
        return;
    if (az_.Moneda(0.5)) {
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, r.center());
    } else {
        MenuEn(g, "PopupMenuTabla", r.center());
        Disparar("Aplicarestaconfiguracin1");
    }
}

void Sesion::OrdenarErrores()
{
    const char* nombre = az_.Moneda(0.6) ? "AdvSGErrAjuste" : "AdvSGErrAcierto";
    auto* g = Control<Rejilla>(w_, nombre);
    MostrarPagina(nombre[8] == 'j' ? "TabSheetErrAjuste" : "TabSheetErrAcierto");
    const int col = az_.Entero(0, g->model()->columnCount() - 1);
    Anotar(QStringLiteral("Ordenar %1 por la columna %2").arg(QLatin1String(nombre)).arg(col));
    QHeaderView* h = g->horizontalHeader();
    const int x = h->sectionViewportPosition(col) + h->sectionSize(col) / 2;
    if (x > 0 && x < h->viewport()->width())
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
}

} // namespace prueba
