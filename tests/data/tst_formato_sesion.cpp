// SPDX-License-Identifier: GPL-3.0-or-later
// The session file: written and read back equal, and every damaged, foreign
// or newer file refused with a message that says what is wrong.
#include <QtTest>

#include <cmath>

#include "data/FicheroSesion.h"

using namespace tendora;

namespace {

Corrida UnaCorrida(int modelo, int origen, bool acierto)
{
    Corrida c;
    c.Modelo = modelo;
    c.Param.AlfaHLT = 0.37;
    c.Param.BetaHLT = 0.1 + 0.2; // not a short decimal: the writing must keep every bit
    c.Param.V = 18;
    c.Origen = origen;
    double m[NumMedidas];
    for (int i = 0; i < NumMedidas; ++i)
        m[i] = i == 3 ? std::nan("") : 1.0 / (i + 3);
    c.Ajuste = MedidasCorrida(m, 0.0123);
    if (acierto)
        c.Acierto = MedidasCorrida(m, 0.5);
    return c;
}

DatosSesion Ejemplo()
{
    DatosSesion d;
    d.texto = QStringLiteral("2020\t1\t10,5\n2020\t2\t11\n");
    d.fichero = QStringLiteral("/tmp/año ñ/serie.txt");
    d.nombre = QStringLiteral("serie");
    d.guardado = QStringLiteral("2020\t1\t10,5\n");
    d.cargado = true;
    d.textoCargado = d.texto;
    d.modelo = 6;
    d.param.AlfaHLT = 0.3;
    d.param.V = 24;
    d.param.PrevNeg = true;
    d.reserva = 12;
    d.intervalos = true;
    d.criterio = Criterio::sMAPE;
    d.prevision = true;
    d.candidato = 2;
    d.corridas = {UnaCorrida(ItemHLT, 0, false), UnaCorrida(ItemHLT, 12, true), UnaCorrida(ItemNVS, 0, false)};
    d.desdeAjuste = 1;
    d.desdeAcierto = 0;
    d.comparativas.push_back({QStringLiteral("P HLT(0,3;0,1)"),
                              QStringLiteral("#ff8000"),
                              2.0,
                              false,
                              {{1, 10.5, QStringLiteral("2020-1"), true}, {2, 1e-300, QString(), false}}});
    d.conClasificacion = true;
    d.criterioClasificacion = Criterio::RMSE;
    d.clasificacion = {{QStringLiteral("HLT(0,3;0,1)"), 0.8125}, {QStringLiteral("H-W"), std::nan("")}};
    return d;
}

bool MismasMedidas(const MedidasCorrida& a, const MedidasCorrida& b)
{
    for (int i = 0; i < NumMedidas; ++i) {
        const double x = a.Datos()[i], y = b.Datos()[i];
        if (!(x == y || (std::isnan(x) && std::isnan(y))))
            return false;
    }
    return a.DesvRelativa() == b.DesvRelativa();
}

// The body changed as an editor would and the sum written again: what the
// reader says of the content itself.
QByteArray ConSuma(QByteArray bytes, const QByteArray& de, const QByteArray& a)
{
    const qsizetype fin = bytes.indexOf('\n');
    QByteArray cuerpo = bytes.mid(fin + 1);
    cuerpo.replace(de, a);
    return "TENDORA-SESION 1 " + QCryptographicHash::hash(cuerpo, QCryptographicHash::Sha256).toHex() + '\n' + cuerpo;
}

} // namespace

class TstFormatoSesion : public QObject {
    Q_OBJECT
private slots:
    void idaYVuelta()
    {
        const DatosSesion d = Ejemplo();
        const QByteArray bytes = EscribirSesion(d);
        QVERIFY(bytes.startsWith("TENDORA-SESION 1 "));
        const DatosSesion r = LeerSesion(bytes);
        QCOMPARE(r.texto, d.texto);
        QCOMPARE(r.fichero, d.fichero);
        QCOMPARE(r.guardado, d.guardado);
        QCOMPARE(r.cargado, true);
        QCOMPARE(r.textoCargado, d.textoCargado);
        QCOMPARE(r.modelo, 6);
        QCOMPARE(r.param.AlfaHLT, 0.3);
        QCOMPARE(r.param.V, 24);
        QCOMPARE(r.param.PrevNeg, true);
        QCOMPARE(r.reserva, 12);
        QCOMPARE(r.criterio, Criterio::sMAPE);
        QCOMPARE(r.candidato, 2);
        QCOMPARE(r.corridas.size(), d.corridas.size());
        for (size_t k = 0; k < d.corridas.size(); ++k) {
            const Corrida &a = r.corridas[k], &b = d.corridas[k];
            QCOMPARE(a.Modelo, b.Modelo);
            QCOMPARE(a.Origen, b.Origen);
            QCOMPARE(a.Param.V, b.Param.V);
            if (a.Modelo == ItemHLT)
                QCOMPARE(a.Param.BetaHLT, 0.1 + 0.2); // bit for bit
            QVERIFY(MismasMedidas(a.Ajuste, b.Ajuste));
            QCOMPARE(a.Acierto.has_value(), b.Acierto.has_value());
            if (a.Acierto)
                QVERIFY(MismasMedidas(*a.Acierto, *b.Acierto));
        }
        QCOMPARE(r.desdeAjuste, 1);
        QVERIFY(r.comparativas == d.comparativas);
        QCOMPARE(r.criterioClasificacion, Criterio::RMSE);
        QCOMPARE(r.clasificacion.size(), size_t(2));
        QCOMPARE(r.clasificacion[0].valor, 0.8125);
        QVERIFY(std::isnan(r.clasificacion[1].valor));
        // Nothing loaded is a state of its own.
        DatosSesion vacia;
        QCOMPARE(LeerSesion(EscribirSesion(vacia)).cargado, false);
    }

    void rechazados_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mensaje"); // a part of the message
        const QByteArray bien = EscribirSesion(Ejemplo());
        QTest::newRow("empty") << QByteArray() << "No es un fichero de sesión de Tendora";
        QTest::newRow("a data text") << QByteArray("2020\t1\t5\n") << "No es un fichero de sesión de Tendora";
        QTest::newRow("cut short") << bien.left(bien.size() / 2) << "no coincide con la suma";
        QByteArray cambiado = bien;
        cambiado[cambiado.indexOf("\"horizonte\":24") + 13] = '3';
        QTest::newRow("one byte changed") << cambiado << "no coincide con la suma";
        QByteArray nueva = bien;
        nueva.replace("TENDORA-SESION 1 ", "TENDORA-SESION 2 ");
        QTest::newRow("newer") << nueva << "versión 2 del formato";
        QTest::newRow("not JSON") << ConSuma(bien, "{", "[") << "no se lee como JSON";
        QTest::newRow("field missing") << ConSuma(bien, "\"corridas\"", "\"Corridas\"") << "no tiene «corridas»";
        QTest::newRow("model out of range")
            << ConSuma(bien, "\"modelo\":6,", "\"modelo\":60,")
            << "fuera de 0..11";
        QTest::newRow("unknown criterion") << ConSuma(bien, "\"RMSE\"", "\"MAD\"") << "«MAD», que no existe";
        QTest::newRow("bad colour") << ConSuma(bien, "#ff8000", "naranja") << "no es #rrggbb";
        QTest::newRow("rows left out beyond the log")
            << ConSuma(bien, "\"ajusteDesde\":1", "\"ajusteDesde\":9") << "fuera de 0..3";
    }
    void rechazados()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mensaje);
        try {
            LeerSesion(bytes);
            QFAIL("read");
        } catch (const ErrorSesion& e) {
            QVERIFY2(e.Mensaje().contains(mensaje), qPrintable(e.Mensaje()));
        }
    }
};

QTEST_GUILESS_MAIN(TstFormatoSesion)
#include "tst_formato_sesion.moc"
