#include "Ayuda.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace tendora {

QString MensajeFaltaAyuda(const QString& fichero)
{
    return QStringLiteral("No se encuentra el fichero de ayuda \"") + fichero +
           QStringLiteral("\". Debería estar ubicado en el directorio de instalación.");
}

void AbrirManual(QWidget* ventana, const QString& dirPrograma, std::function<void(const QString&)> mostrarAviso,
                 std::function<bool(const QUrl&)> abrir)
{
    // The viewer is a separate program; it needs no parent window here.
    (void)ventana;
    const QString ruta = dirPrograma + FicheroAyuda;
    if (!QFileInfo(ruta).isFile()) {
        if (mostrarAviso)
            mostrarAviso(MensajeFaltaAyuda(FicheroAyuda));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(ruta);
    if (abrir)
        abrir(url);
    else
        QDesktopServices::openUrl(url);
}

} // namespace tendora
