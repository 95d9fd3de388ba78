// The registry of a Wine prefix: HKEY_LOCAL_MACHINE is the prefix's system.reg,
// HKEY_CURRENT_USER its user.reg, and HKEY_CLASSES_ROOT is HKLM\Software\Classes (as
// in Wine). Responsible for handles, paths, links and for writing the files back
// safely; the file format itself is in reg_parse/reg_write.
//
// Files: a missing file is an empty hive, written with Wine's header on the first
// change. What was not changed is written back byte for byte. A change becomes
// durable (the file is replaced atomically) when the handle it was made through is
// closed, on deleteTree, on flush() and when the registry is destroyed; a file is
// written only when something in it changed. When no handle is open and nothing is
// pending, a file that another program rewrote is read again at the next open from a
// root (the files are looked at no more than once a second).
//
// Writes are refused (ERROR_LOCK_VIOLATION, nothing changes) while a wineserver runs
// for the prefix, and while a file has been rewritten by another program since Korvex
// read it with changes of Korvex still pending; writeRefusal() says why. Changes made
// before a refusal stay pending and are written at the next close, flush or at the
// end, if writes are allowed again by then; otherwise they are lost.
//
// Links (keys marked #link whose SymbolicLinkValue names another key) are followed
// when a path is opened through them, as Windows does, with one exception that keeps
// every walk finite: a link whose target is already on the path being opened (the
// target is the link's own key or one of the keys the path went through) is not
// followed, and the link key itself is opened; it has no sub keys. Enumeration lists
// link keys like any other sub key. deleteTree removes a link key itself, never what
// it points to.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/wine/reg_tree.h"

namespace korvex::wine {

class WineRegistry : public Registry {
public:
    // Reads the prefix's registry files. Nothing on failure, with a sentence in error.
    static std::unique_ptr<WineRegistry> open(const std::string& prefixDir, std::string* error);
    ~WineRegistry() override;

    long openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) override;
    long createKey(HKEY parent, std::string_view subKey, HKEY* result) override;
    long closeKey(HKEY key) override;
    long queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) override;
    long setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) override;
    long deleteValue(HKEY key, std::string_view name) override;
    long enumKey(HKEY key, std::uint32_t index, std::string* name) override;
    long enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                   std::string* data) override;
    long deleteTree(HKEY parent, std::string_view subKey) override;
    long flush() override;
    std::string writeRefusal() override;

    // The last save failure in words ("" when the last save succeeded).
    const std::string& lastSaveError() const { return saveError_; }

private:
    explicit WineRegistry(std::string prefixDir);

    struct Handle {
        RegKey* key = nullptr;
        Hive* hive = nullptr;
        bool writable = false;
        bool changed = false;
        std::vector<RegKey*> chain;  // the keys the path went through, for link loops
    };
    enum class Follow { All, NotLast };

    bool loadHive(Hive& hive, std::string* error);
    void reloadChangedHives();
    long handleFor(HKEY key, Handle* out) const;  // predefined roots give a transient handle
    long rootHandle(HKEY key, bool create, Handle* out);  // as handleFor, HKCR made when create
    long walk(Handle& at, std::string_view subKey, bool create, Follow follow);
    bool linkTarget(const RegKey& link, Hive** hive, RegKey** key);
    HKEY addHandle(Handle handle);
    long refusal();  // ERROR_LOCK_VIOLATION when writes must not happen now
    long save(Hive& hive);
    long saveAll();
    long changedThrough(HKEY key);  // a value changed through this handle

    std::string prefixDir_;
    Hive machine_, user_;
    std::map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x1000;
    std::string saveError_;
    std::chrono::steady_clock::time_point lastFileCheck_ = std::chrono::steady_clock::now();
};

}  // namespace korvex::wine
