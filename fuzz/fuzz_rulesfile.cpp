// Reads arbitrary bytes as a rules file. Besides surviving every input, a file that is accepted must be written
// back by the encoder and read again as the same document, and writing it a second time must give the same bytes.

#include "supervisionexporter.h"
#include "supervisionimporter.h"

#include <cstdint>
#include <cstdlib>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto result = SupervisionImporter::decode(QByteArrayView(data, qsizetype(size)));
    const auto *file = std::get_if<SupervisionExport>(&result);
    if (!file)
        return 0;
    (void)SupervisionImporter::validate(*file);

    const auto bytes = SupervisionExporter::encode(*file);
    if (!bytes)
        std::abort();
    const auto again = SupervisionImporter::decode(*bytes);
    const auto *back = std::get_if<SupervisionExport>(&again);
    if (!back || !(*back == *file))
        std::abort();
    const auto bytesAgain = SupervisionExporter::encode(*back);
    if (!bytesAgain || *bytesAgain != *bytes)
        std::abort();
    return 0;
}
