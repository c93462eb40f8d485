// Laying out JSON values the library has built and escaped.
#include "json_layout.h"

namespace {
// Texts are UTF-8; one that is not gets U+FFFD rather than stopping the output.
std::string Scalar(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string Member(const std::string& name, const nlohmann::ordered_json& value) {
    return Scalar(name) + ": " + JsonOnOneLine(value);
}
}  // namespace

std::string JsonOnOneLine(const nlohmann::ordered_json& value) {
    if (!value.is_object() && !value.is_array()) return Scalar(value);
    std::string text = value.is_object() ? "{" : "[";
    bool first = true;
    for (const auto& item : value.items()) {
        text += first ? "" : ", ";
        text += value.is_object() ? Member(item.key(), item.value()) : JsonOnOneLine(item.value());
        first = false;
    }
    return text + (value.is_object() ? "}" : "]");
}

std::string JsonMembersOnLines(const nlohmann::ordered_json& object) {
    std::string text = "{\n";
    size_t left = object.size();
    for (const auto& item : object.items()) text += "  " + Member(item.key(), item.value()) + (--left ? ",\n" : "\n");
    return text + "}\n";
}
