// The registry as the platform offers it: the calls of the Windows registry API, on
// handles, with Windows status codes. Text crosses this boundary as UTF-8 (Korvex's
// ANSI code page); REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data carry their NUL
// terminators as the A-calls give them. Key and value names compare without regard
// to case. Implemented over a Wine prefix's registry files and in memory for tests;
// the Korvex-level operations (OpenKey, QueryValue, ...) are in registry_access.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace korvex {

class Registry {
public:
    virtual ~Registry() = default;

    // Opens parent\subKey ("" opens parent itself as a new handle). access is
    // KEY_READ or KEY_ALL_ACCESS_RW.
    virtual long openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) = 0;
    // Opens parent\subKey, creating every missing key on the way.
    virtual long createKey(HKEY parent, std::string_view subKey, HKEY* result) = 0;
    // Closing a handle through which something was changed makes the change durable.
    virtual long closeKey(HKEY key) = 0;

    // Raw data as RegQueryValueExA gives it, whatever its length.
    virtual long queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) = 0;
    virtual long setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) = 0;
    virtual long deleteValue(HKEY key, std::string_view name) = 0;

    // Sub keys in the order Windows gives them: sorted by name without regard to case.
    virtual long enumKey(HKEY key, std::uint32_t index, std::string* name) = 0;
    // Values in the order they were created.
    virtual long enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                           std::string* data) = 0;

    // Deletes parent\subKey with everything below it (SHDeleteKey); durable on return.
    virtual long deleteTree(HKEY parent, std::string_view subKey) = 0;

    // Writes every pending change to disk now. ERROR_SUCCESS when nothing is pending.
    virtual long flush() = 0;

    // Empty while writes are allowed; otherwise the reason they are refused, in words
    // for the user (for example a running wineserver). Refused writes return
    // ERROR_LOCK_VIOLATION and change nothing.
    virtual std::string writeRefusal() = 0;
};

}  // namespace korvex
