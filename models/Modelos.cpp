// The twelve models and the computations they share.
#include "Modelos.h"

#include <cmath>

namespace tendora {

namespace {

double Y(const Espacio& e, int i) { return e.TablaPrev[i][4]; }
double T(const Espacio& e, int i) { return e.TablaPrev[i][1]; }

// The model writes rows up to R: the table must hold them.
int UltimaFila(Espacio& e, int V)
{
    const int R = e.NumDatos + (V > 0 ? V : 0);
    AsegurarFilas(e, V);
    return R;
}

// The coefficient of each row's month, only after ComprobarMeses in the same
// run; raw pointers, as the vectors would be reloaded on every row.
struct Coeficientes {
    const unsigned char* mes;
    const RegistroCoef* coef;
    explicit Coeficientes(const Espacio& e) : mes(e.MesDeFila.data()), coef(e.CoefEstacional.data()) {}
    double operator()(int i) const { return coef[mes[i]].Coeficiente; }
};

double Suma(double a, double b) { return Finito(a + b); }
double Producto(double a, double b) { return Finito(a * b); }

} // namespace

double RecortarNegativa(double x, bool prevNeg)
{
    if (prevNeg)
        return x;
    return x >= 0.0 ? x : 0.0;
}

// A seasonal model needs every month it reads inside 1..12; the months
// are kept for the rest of the run.
void ComprobarMeses(Espacio& e, int R)
{
    bool bien = true;
    unsigned char* mes = e.MesDeFila.data();
    for (int i = 1; i <= R; ++i) {
        const int m = MesFila(e, i);
        const bool valido = m >= 1 && m <= 12;
        bien &= valido;
        mes[i] = static_cast<unsigned char>(valido ? m : 0);
    }
    if (!bien)
        throw ErrorAritmetico("Mes fuera de 1..12");
}

void MediasMovilesCentradas(Espacio& e)
{
    const int n = e.NumDatos;
    // Raw rows: through the vectors the compiler reloads their data on every
    // row. Each sum runs left to right as written; eight rows at a time only
    // lets their chains of additions overlap. An overflow stays non-finite
    // to the end of its sum, so one check per sum suffices.
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    int i = 7;
    for (; i + 7 <= n - 5; i += 8) {
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0, s7 = 0.0;
        for (int j = i - 6; j <= i + 5; ++j) {
            s0 += t[j][4];
            s1 += t[j + 1][4];
            s2 += t[j + 2][4];
            s3 += t[j + 3][4];
            s4 += t[j + 4][4];
            s5 += t[j + 5][4];
            s6 += t[j + 6][4];
            s7 += t[j + 7][4];
        }
        const double s[8] = {s0, s1, s2, s3, s4, s5, s6, s7};
        for (int k = 0; k < 8; ++k) {
            t[i + k][5] = Finito(s[k]) / 12.0;
            f[i + k][5] = true;
        }
    }
    for (; i <= n - 5; ++i) {
        double s = 0.0;
        for (int j = i - 6; j <= i + 5; ++j)
            s += t[j][4];
        t[i][5] = Finito(s) / 12.0;
        f[i][5] = true;
    }
    for (i = 7; i <= n - 6; ++i) {
        const double c = Finito((t[i][5] + t[i + 1][5]) / 2.0);
        t[i][6] = c;
        f[i][6] = true;
        t[i][7] = c != 0.0 ? Dividir(t[i][4], c) : 0.0;
        f[i][7] = true;
    }
}

void CalcularCoefEstacionales(Espacio& e)
{
    const int n = e.NumDatos;
    const auto* t = e.TablaPrev.data();
    const unsigned char* mes = e.MesDeFila.data();
    RegistroCoef* c = e.CoefEstacional.data();
    for (int m = 1; m <= 12; ++m)
        c[m] = RegistroCoef{};
    for (int i = 7; i <= n - 6; ++i) {
        const int m = mes[i];
        c[m].Coeficiente = Suma(c[m].Coeficiente, t[i][7]);
        c[m].Observaciones += 1.0;
    }
    double total = 0.0;
    for (int m = 1; m <= 12; ++m) {
        if (c[m].Observaciones != 0.0)
            c[m].Coeficiente = Dividir(c[m].Coeficiente, c[m].Observaciones);
        total = Suma(total, c[m].Coeficiente);
    }
    if (total == 0.0)
        throw ErrorAritmetico("Suma de coeficientes estacionales nula");
    for (int m = 1; m <= 12; ++m)
        c[m].Coeficiente = Producto(Dividir(c[m].Coeficiente, total), 12.0);
}

void Desestacionalizar(Espacio& e)
{
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    for (int i = 1; i <= e.NumDatos; ++i) {
        const double s = S(i);
        t[i][8] = s != 0.0 ? Dividir(t[i][4], s) : 0.0;
        f[i][8] = true;
    }
}

Recta RectaRegresion(const Espacio& e, int col, int primera, int ultima)
{
    const double k = ultima - primera + 1;
    double St = 0, Sy = 0, Stt = 0, Sty = 0;
    for (int i = primera; i <= ultima; ++i) {
        const double t = T(e, i);
        const double y = e.TablaPrev[i][col];
        St = Suma(St, t);
        Sy = Suma(Sy, y);
        Stt = Suma(Stt, Producto(t, t));
        Sty = Suma(Sty, Producto(t, y));
    }
    if (k <= 1)
        throw ErrorAritmetico("Recta de regresión con menos de dos puntos");
    const double tm = Dividir(St, k);
    const double ym = Dividir(Sy, k);
    Recta r;
    r.b = Dividir(Finito(Sty - Producto(tm, Sy)), Finito(Stt - Producto(tm, St)));
    r.a = Finito(ym - Producto(r.b, tm));
    return r;
}

double MediaColumna(const Espacio& e, int col, int primera, int ultima)
{
    if (ultima < primera)
        return 0.0;
    double s = 0.0;
    for (int i = primera; i <= ultima; ++i)
        s = Suma(s, e.TablaPrev[i][col]);
    return Dividir(s, ultima - primera + 1);
}

// ---------------------------------------------------------------- naive

// The seasonal models' common start: months checked, ratios, coefficients
// and, when asked, the deseasonalised history.
static void Descomponer(Espacio& e, int R, bool desestacionalizar)
{
    ComprobarMeses(e, R);
    MediasMovilesCentradas(e);
    CalcularCoefEstacionales(e);
    if (desestacionalizar)
        Desestacionalizar(e);
}

void ModeloNVS(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    for (int i = 2; i <= R; ++i) {
        const double p = i <= n + 1 ? Y(e, i - 1) : RecortarNegativa(e.TablaPrev[i - 1][5], prevNeg);
        e.Poner(i, 5, p);
    }
    e.ColPrev = 5;
    e.FilaInicioPrev = 1;
}

void ModeloNVE(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    double base = R >= 2 ? t[1][4] : 0.0;
    for (int i = 2; i <= R; ++i) {
        const double p = RecortarNegativa(Producto(S(i), base), prevNeg);
        t[i][9] = p;
        f[i][9] = true;
        base = i <= n ? t[i][4] : p;
    }
    e.ColPrev = 9;
    e.FilaInicioPrev = 1;
}

// ---------------------------------------------------------------- moving averages

// MMS without its closing act, so that MMD, which goes on from it, leaves
// ColPrev and FilaInicioPrev alone when its own stage fails.
static int SerieMMS(Espacio& e, int N, bool prevNeg, int V)
{
    if (N < 0)
        throw ErrorAritmetico("N negativo");
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][7] = Y(e, i);
    // 64-bit bounds: N has no upper limit of its own.
    for (long long j = N + 1LL; j <= R; ++j) {
        const int i = static_cast<int>(j);
        const double p = RecortarNegativa(MediaColumna(e, 7, i - N, i - 1), prevNeg);
        e.Poner(i, 5, p);
        if (i > n)
            e.TablaPrev[i][7] = p;
    }
    return R;
}

void ModeloMMS(Espacio& e, int N, bool prevNeg, int V)
{
    const int R = SerieMMS(e, N, prevNeg, V);
    e.ColPrev = 5;
    e.FilaInicioPrev = N > R ? R : N; // past R there is no fitted row either way
}

void ModeloMMD(Espacio& e, int N, bool prevNeg, int V)
{
    const int R = SerieMMS(e, N, prevNeg, V);
    for (long long j = 2LL * N + 1; j <= R; ++j) {
        const int i = static_cast<int>(j);
        e.Poner(i, 6, RecortarNegativa(MediaColumna(e, 5, i - N, i - 1), prevNeg));
    }
    e.ColPrev = 6;
    e.FilaInicioPrev = 2LL * N > R ? R : 2 * N;
}

// ---------------------------------------------------------------- exponential smoothing

// LES without its closing act, for the same reason as SerieMMS.
static int SerieLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    e.TablaPrev[1][5] = Y(e, 1);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][7] = Y(e, i);
    for (int i = 2; i <= R; ++i) {
        const double f = RecortarNegativa(
            Suma(Producto(alfa, e.TablaPrev[i - 1][7]), Producto(1.0 - alfa, e.TablaPrev[i - 1][5])), prevNeg);
        e.Poner(i, 5, f);
        if (i > n)
            e.TablaPrev[i][7] = f;
    }
    return R;
}

void ModeloLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    SerieLES(e, alfa, prevNeg, V);
    e.ColPrev = 5;
    e.FilaInicioPrev = 0;
}

void ModeloLED(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int R = SerieLES(e, alfa, prevNeg, V);
    e.TablaPrev[1][6] = e.TablaPrev[1][5];
    for (int i = 2; i <= R; ++i)
        e.Poner(i, 6,
                RecortarNegativa(
                    Suma(Producto(alfa, e.TablaPrev[i - 1][5]), Producto(1.0 - alfa, e.TablaPrev[i - 1][6])),
                    prevNeg));
    e.ColPrev = 6;
    e.FilaInicioPrev = 0;
}

// ---------------------------------------------------------------- decomposition

void ModeloDST(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, false);
    const Recta r = RectaRegresion(e, 6, 7, n - 6);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    for (int i = 1; i <= R; ++i) {
        const double tend = Suma(Producto(r.b, t[i][1]), r.a);
        t[i][8] = tend;
        f[i][8] = true;
        t[i][9] = RecortarNegativa(Producto(S(i), tend), prevNeg);
        f[i][9] = true;
    }
    e.ColPrev = 9;
    e.FilaInicioPrev = 0;
}

// ---------------------------------------------------------------- theta

void ModeloTHT(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    const Recta r = RectaRegresion(e, 8, 1, n);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    double lrAnt = 0.0, lAnt = 0.0; // previous row's line and level, kept in registers
    for (int i = 1; i <= R; ++i) {
        const double lr = Suma(Producto(r.b, t[i][1]), r.a);
        t[i][9] = lr;
        double l;
        if (i == 1) {
            l = Finito(Producto(2.0, t[1][8]) - lr);
        } else if (i <= n) {
            const double z = Finito(Producto(2.0, t[i - 1][8]) - lrAnt);
            l = Suma(Producto(alfa, z), Producto(1.0 - alfa, lAnt));
        } else {
            l = lAnt;
        }
        t[i][10] = l;
        const double p = RecortarNegativa(Producto(S(i), Suma(lr, l) / 2.0), prevNeg);
        f[i][9] = true;
        f[i][10] = true;
        t[i][11] = p;
        f[i][11] = true;
        lrAnt = lr;
        lAnt = l;
    }
    e.ColPrev = 11;
    e.FilaInicioPrev = 0;
}

// ---------------------------------------------------------------- Holt, Holt-Winters

void ModeloHLT(Espacio& e, double alfa, double beta, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    const double B0 = Dividir(Finito(Y(e, n) - Y(e, 1)), n - 1);
    const double L0 = Finito(Y(e, 1) - B0 / 2.0);
    double Lp = L0, Bp = B0;
    for (int i = 1; i <= R; ++i) {
        double L, B;
        if (i <= n) {
            L = Suma(Producto(alfa, Y(e, i)), Producto(1.0 - alfa, Suma(Lp, Bp)));
            B = Suma(Producto(Finito(L - Lp), beta), Producto(1.0 - beta, Bp));
        } else {
            L = Lp;
            B = Bp;
        }
        const double h = i <= n ? 1.0 : i - n;
        e.Poner(i, 5, L);
        e.Poner(i, 6, B);
        e.Poner(i, 7, RecortarNegativa(Suma(Lp, Producto(h, Bp)), prevNeg));
        Lp = L;
        Bp = B;
    }
    e.ColPrev = 7;
    e.FilaInicioPrev = 0;
}

void ModeloHW(Espacio& e, double alfa, double beta, double phi, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    const double A1 = MediaColumna(e, 4, 1, 12);
    const double A2 = MediaColumna(e, 4, n - 11, n);
    const int K = (n / 12 - 1) * 12;
    const double B0 = Dividir(Finito(A2 - A1), K);
    const double L0 = Finito(A1 - Producto(6.0, B0));
    // Level and trend carried in registers: reading them back from the row
    // just written puts a store-to-load delay on the recursion.
    double Lp = L0, Bp = B0;
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const unsigned char* mes = e.MesDeFila.data();
    RegistroCoef* coefs = e.CoefEstacional.data();
    for (int i = 1; i <= R; ++i) {
        RegistroCoef& c = coefs[mes[i]];
        const double So = c.Coeficiente;
        double L, B, P;
        if (i <= n) {
            const double y = t[i][4];
            const double suave = Producto(1.0 - alfa, Suma(Lp, Bp));
            // (alfa × y) / So and (phi × y) / L, multiplied first as the model
            // reads: near a zero level the last bit decides the new index.
            L = So != 0.0 ? Suma(Dividir(Producto(alfa, y), So), suave) : suave;
            B = Suma(Producto(Finito(L - Lp), beta), Producto(1.0 - beta, Bp));
            c.Coeficiente = Suma(Dividir(Producto(phi, y), L), Producto(1.0 - phi, So));
            P = RecortarNegativa(Producto(Suma(Lp, Bp), So), prevNeg);
        } else {
            L = Lp;
            B = Bp;
            P = RecortarNegativa(Producto(Suma(Lp, Producto(i - n, Bp)), c.Coeficiente), prevNeg);
        }
        t[i][9] = L;
        t[i][10] = B;
        t[i][11] = P;
        f[i][9] = f[i][10] = f[i][11] = true;
        Lp = L;
        Bp = B;
    }
    e.ColPrev = 11;
    e.FilaInicioPrev = 0;
}

// ---------------------------------------------------------------- Croston, Syntetos-Boylan

void ModeloCroston(Espacio& e, int variante, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    auto* t = e.TablaPrev.data();
    auto* fl = e.CeldaValida.data();
    for (int i = 1; i <= n; ++i)
        t[i][9] = t[i][4];
    // Row 1 starts the state; its value has no flag.
    double q = 1.0, z = t[1][4], w = 1.0, p = t[1][4];
    const auto Escribir = [&](int i) {
        t[i][5] = q;
        t[i][6] = z;
        t[i][7] = w;
        t[i][8] = p;
        fl[i][5] = fl[i][6] = fl[i][7] = fl[i][8] = true;
    };
    Escribir(1);
    fl[1][8] = false;
    // Rows up to n + 1 read the demand of the row before, all of it history.
    const int ultimaConDato = R < n + 1 ? R : n + 1;
    for (int i = 2; i <= ultimaConDato; ++i) {
        const double x = t[i - 1][4];
        if (x == 0.0) {
            q = q + 1.0;
        } else {
            z = Suma(z, Producto(Finito(x - z), alfa));
            w = Suma(w, Producto(q - w, alfa));
            q = 1.0;
        }
        double f = Dividir(z, w);
        if (variante != 1)
            f = Producto(f, 1.0 - alfa / 2.0);
        p = RecortarNegativa(f, prevNeg);
        Escribir(i);
        if (i > n)
            t[i][9] = p;
    }
    // No demand is known past row n, so no forecast stands in for one: the
    // state and the value of row n + 1 hold for the whole horizon.
    for (int i = n + 2; i <= R; ++i) {
        Escribir(i);
        t[i][9] = p;
    }
    e.ColPrev = 8;
    e.FilaInicioPrev = 0;
}

void ModeloSB(Espacio& e, double alfa, bool prevNeg, int V)
{
    ModeloCroston(e, 2, alfa, prevNeg, V);
}

void EjecutarModelo(Espacio& e, int item, const Parametros& p)
{
    switch (item) {
    case ItemNVS: ModeloNVS(e, p.PrevNeg, p.V); break;
    case ItemNVE: ModeloNVE(e, p.PrevNeg, p.V); break;
    case ItemMMS: ModeloMMS(e, p.N, p.PrevNeg, p.V); break;
    case ItemMMD: ModeloMMD(e, p.N, p.PrevNeg, p.V); break;
    case ItemLES: ModeloLES(e, p.AlfaLE, p.PrevNeg, p.V); break;
    case ItemLED: ModeloLED(e, p.AlfaLE, p.PrevNeg, p.V); break;
    case ItemDST: ModeloDST(e, p.PrevNeg, p.V); break;
    case ItemTHT: ModeloTHT(e, p.AlfaTHT, p.PrevNeg, p.V); break;
    case ItemHLT: ModeloHLT(e, p.AlfaHLT, p.BetaHLT, p.PrevNeg, p.V); break;
    case ItemHW: ModeloHW(e, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg, p.V); break;
    case ItemCRT: ModeloCroston(e, 1, p.AlfaCroston, p.PrevNeg, p.V); break;
    case ItemSB: ModeloSB(e, p.AlfaCroston, p.PrevNeg, p.V); break;
    default: throw ErrorAritmetico("Modelo desconocido");
    }
}

} // namespace tendora
