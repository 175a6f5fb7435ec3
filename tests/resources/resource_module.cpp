#include "resource_module.h"

#include <cstdlib>

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR out) {
    reinterpret_cast<std::vector<LANGID>*>(out)->push_back(lang);
    return TRUE;
}

BOOL CALLBACK AddIntegerName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<unsigned>*>(out)->push_back(
            static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

}  // namespace

ResourceModule::ResourceModule(const std::filesystem::path& file) {
    m_module = LoadLibraryExW(file.c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

ResourceModule::~ResourceModule() {
    if (m_module) FreeLibrary(m_module);
}

std::span<const std::uint8_t> ResourceModule::bytes(LPCWSTR type, LPCWSTR name) const {
    HRSRC res = FindResourceW(m_module, name, type);
    if (!res) return {};
    HGLOBAL data = LoadResource(m_module, res);
    const DWORD size = SizeofResource(m_module, res);
    if (!data || size == 0) return {};
    return {static_cast<const std::uint8_t*>(LockResource(data)), size};
}

std::vector<LANGID> ResourceModule::languages(LPCWSTR type, unsigned id) const {
    std::vector<LANGID> found;
    EnumResourceLanguagesW(m_module, type, MAKEINTRESOURCEW(id), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&found));
    return found;
}

std::vector<unsigned> ResourceModule::ids(LPCWSTR type) const {
    std::vector<unsigned> found;
    EnumResourceNamesW(m_module, type, AddIntegerName, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

std::filesystem::path BinDir() {
    const wchar_t* dir = _wgetenv(L"KORVEX_BIN_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}
