// QString <-> cp1251 through the model's one byte mapping.
#include "platform/Text.h"

#include "model/Cp1251.h"

#include <QList>

namespace platform {

QString ToQString(const std::string& cp1251) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1251.size()));
    for (unsigned char byte : cp1251)
        out.append(QChar(static_cast<char16_t>(model::Cp1251ToUnicode(byte))));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t code : text.toUcs4()) {
        auto byte = model::UnicodeToCp1251(code);
        out.push_back(byte ? static_cast<char>(*byte) : '?');
    }
    return out;
}

} // namespace platform
