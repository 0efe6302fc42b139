// Prints the registry table of Marelco.ocx for the installers, one value a line: key, name and data
// separated by tabs, keys relative to a Classes root.
// Usage: print_registry_table PATH FOLDER   (the server's path and its type library's help folder, as the
// installer writes them, such as [#Marelco.ocx] and [INSTALLDIR])
#include <cstdio>
#include <string>

#include "package/registry_table.h"

namespace {

std::string Utf8(const std::wstring& text) {
  std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                      static_cast<int>(bytes.size()), nullptr, nullptr);
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: print_registry_table PATH FOLDER\n", stderr);
    return 2;
  }
  for (const auto& value : marelco::RegistryValues(argv[1], argv[2])) {
    const std::string line = Utf8(value.key + L'\t' + value.name + L'\t' + value.data) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}
