#pragma once

#include <filesystem>
#include <string>

namespace orvane {

// The program keeps paths as UTF-8 text; the file system wants its native form.
std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace orvane
