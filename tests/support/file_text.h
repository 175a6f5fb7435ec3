// Reading a whole file as bytes, also while another process (a server, Korvex) still writes it.
#pragma once

#include <string>

namespace korvex_test {

// The file's bytes; empty when it cannot be opened.
std::string ReadFileText(const std::wstring& path);

}  // namespace korvex_test
