// Words for the places FindLostContent reports.
#include "editor/LostContentText.h"

#include "editor/EditorState.h"
#include "model/Convert.h"

#include <cstdio>

namespace editor {
namespace {

std::string FieldName(const model::LostByte& place) {
    const std::string& f = place.field;
    const auto number = [&](std::size_t prefix) { return f.substr(prefix); };
    if (f == "Description")
        return Ru("описание");
    if (f.rfind("Caption", 0) == 0)
        return Ru("действие ") + number(7) + Ru(", заголовок");
    if (f.rfind("Code", 0) == 0)
        return Ru("действие ") + number(4) + Ru(", код");
    if (f.rfind("Name", 0) == 0)
        return Ru("название параметра ") + number(4);
    if (f.rfind("Value", 0) == 0)
        return Ru("значение параметра ") + number(5);
    return f;
}

std::string ByteName(unsigned char byte) {
    if (byte >= 0x20 && byte != 0x7F && byte != 0x98) {
        std::string out = Ru("символ '");
        out += static_cast<char>(byte);
        return out + "'";
    }
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", byte);
    return Ru("байт ") + code;
}

} // namespace

std::string DescribeLostPlace(const model::LostByte& place) {
    std::string where = place.location == 0
                            ? Ru("Параметры")
                            : Ru("Локация ") + model::IntToStr(place.location);
    return where + ", " + FieldName(place) + ": " + ByteName(place.byte) + Ru(" будет потерян");
}

std::string LostContentQuestion(const std::vector<model::LostByte>& places,
                                model::StoredForm form, const std::string& question) {
    std::string text;
    std::size_t count = 0;
    for (const model::LostByte& place : places) {
        if (place.form != form)
            continue;
        if (count < kLostPlacesListed)
            text += DescribeLostPlace(place) + "\r";
        ++count;
    }
    if (count == 0)
        return {};
    if (count > kLostPlacesListed)
        text += Ru("и еще мест: ") + model::IntToStr(static_cast<std::int64_t>(count - kLostPlacesListed)) + "\r";
    return text + "\r" + question;
}

} // namespace editor
