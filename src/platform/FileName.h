#pragma once
// File names between the Qt side (UTF-16) and the narrow side (OpenCV, standard output).

#include <optional>
#include <string>

class QString;

// The bytes that name the file on disk (QFile::encodeName). nullopt when the name cannot
// be encoded: it holds a lone UTF-16 surrogate or a zero character.
std::optional<std::string> NarrowFileName(const QString& path);
