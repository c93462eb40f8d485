// orvictl's JSON as scripts read it and people can too: a blank after each comma and colon, and a
// document's members one a line.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

// The value on one line: {"a": 1, "b": [2, 3]}.
std::string JsonOnOneLine(const nlohmann::ordered_json& value);
// An object with each member on a line of its own, indented by two, each member's value on one line.
std::string JsonMembersOnLines(const nlohmann::ordered_json& object);
