#pragma once

#include <QString>

#include <optional>
#include <string>

// Between the window's text and the bytes of the outputs' character set.
std::optional<std::string> ToWindows1251Bytes(const QString& text);
QString FromWindows1251Bytes(const std::string& bytes);
