#pragma once

#include <QLocale>
#include <QString>

#include "recording/memoryimage.h"

namespace veltrano::linktext {

inline const QString NotConnected = QStringLiteral("QLO niet verbonden");
inline const QString Connected = QStringLiteral("QLO verbonden");
inline const QString DataReady = QStringLiteral("Data klaar voor verwerken");
inline const QString EraseQuestion =
    QStringLiteral("Weet u zeker dat u het flash geheugen wilt wissen?");
inline const QString EraseDone = QStringLiteral("Wissen gelukt");
inline const QString IntervalsQuestion = QStringLiteral(
    "Het veranderen van de meetintervallen zal resulteren in dat de gelogde data verloren "
    "gaat. Sla de gelogde data op wilt u dit behouden. Doorgaan met de meetintervallen "
    "veranderen?");
inline const QString IntervalsCancelled = QStringLiteral("Cancel pressed");
inline const QString IntervalsDone = QStringLiteral("Meetintervallen instellen gelukt");
inline const QString DownloadTooLong =
    QStringLiteral("De QLO stuurde meer data dan het geheugenbeeld kan bevatten. De bytes "
                   "na de eerste %1 zijn niet opgeslagen.")
        .arg(QLocale(QLocale::Dutch, QLocale::Netherlands).toString(qulonglong(kImageSize)));
// %1 the number of bytes received.
inline const QString DownloadBrokenOff =
    QStringLiteral("Het ophalen van de data is afgebroken. Er zijn %1 bytes ontvangen; die "
                   "blijven bewaard en kunnen worden verwerkt en opgeslagen.");
inline const QString EraseBrokenOff = QStringLiteral(
    "Het wissen is afgebroken: de QLO heeft niet gemeld dat het geheugen gewist is.");
inline const QString IntervalsBrokenOff =
    QStringLiteral("Het instellen van de meetintervallen is afgebroken: de QLO heeft niet "
                   "gemeld dat het gelukt is.");
inline const QString EraseNoAnswer =
    QStringLiteral("Het wissen is afgebroken: de QLO heeft niet binnen een minuut gemeld dat "
                   "het geheugen gewist is. Probeer het opnieuw.");
inline const QString IntervalsNoAnswer =
    QStringLiteral("Het instellen van de meetintervallen is afgebroken: de QLO heeft niet "
                   "binnen een minuut gemeld dat het gelukt is. Probeer het opnieuw.");
// %1 the port, %2 the reason.
inline const QString PortOpenFailed = QStringLiteral("Kan poort %1 niet openen: %2");

} // namespace veltrano::linktext
