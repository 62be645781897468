#pragma once

#include <QString>

namespace veltrano::windowtext {

inline const QString Processed = QStringLiteral("Data verwerkt");
inline const QString NoRecording = QStringLiteral(
    "Het geheugenbeeld bevat geen opname: er is geen begin van een meting gevonden "
    "(bijvoorbeeld een gewiste QLO of een leeg geheugenbeeld). Er is niets verwerkt.");
inline const QString RecordingNotClosed =
    QStringLiteral("De opname in het geheugenbeeld is niet afgesloten: er is geen einde van een "
                   "meting gevonden. Er is geen samenvatting gemaakt.");
inline const QString OpenDuringDownload =
    QStringLiteral("Er wordt nog data van de QLO opgehaald. Open het bestand als het ophalen "
                   "klaar is, of verbreek eerst de verbinding.");
inline const QString DiscardDownload =
    QStringLiteral("De opgehaalde data is nog niet opgeslagen en gaat verloren. Doorgaan zonder "
                   "op te slaan?");
inline const QString EraseUnsaved =
    QStringLiteral("De opgehaalde data is nog niet opgeslagen. Na het wissen staat die data "
                   "alleen nog in Veltrano. Doorgaan zonder op te slaan?");
inline const QString AboutPageMissing =
    QStringLiteral("De informatiepagina kan niet worden geopend.");

} // namespace veltrano::windowtext
