// A program file opened as data, and read access to its resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

class ResourceModule {
  public:
    explicit ResourceModule(const std::filesystem::path& file);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE handle() const { return m_module; }
    bool loaded() const { return m_module != nullptr; }

    // The bytes of a resource, empty when it is missing.
    std::span<const std::uint8_t> bytes(LPCWSTR type, LPCWSTR name) const;
    std::span<const std::uint8_t> bytes(LPCWSTR type, unsigned id) const {
        return bytes(type, MAKEINTRESOURCEW(id));
    }
    // Languages under which a resource exists.
    std::vector<LANGID> languages(LPCWSTR type, unsigned id) const;
    // Integer names of every resource of a type.
    std::vector<unsigned> ids(LPCWSTR type) const;

  private:
    HMODULE m_module = nullptr;
};

// The folder of the programs under test ($KORVEX_BIN_DIR).
std::filesystem::path BinDir();
