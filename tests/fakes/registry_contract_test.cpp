// The registry behaviour every backend must share, checked on each of them: the fake
// that logic tests rely on must behave like the machine's registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/fake/memory_registry.h"
#include "platform/wine/wine_registry.h"
#include "tests/support/host_files.h"

namespace korvex {
namespace {

std::string sz(std::string_view text) { return std::string(text) + '\0'; }

// The backend under test: the in-memory fake, or (true) the files of an empty prefix
// folder of the test's own.
class RegistryContract : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        std::string error;
        reg = GetParam() ? std::unique_ptr<Registry>(wine::WineRegistry::open(prefix.path(), &error))
                         : std::make_unique<MemoryRegistry>();
        ASSERT_TRUE(reg) << error;
    }
    test::TempHostFolder prefix{"korvex-contract"};
    std::unique_ptr<Registry> reg;

    HKEY create(HKEY root, std::string_view path) {
        HKEY k = 0;
        EXPECT_EQ(reg->createKey(root, path, &k), ERROR_SUCCESS) << path;
        return k;
    }
    // Whether the key opens; one that does not leaves the handle 0.
    bool opens(HKEY root, std::string_view path) {
        HKEY k = 0;
        const bool opened = reg->openKey(root, path, KEY_READ, &k) == ERROR_SUCCESS;
        EXPECT_EQ(opened, k != 0) << path;
        if (opened) reg->closeKey(k);
        return opened;
    }
};

TEST_P(RegistryContract, NamesIgnoreCaseAndSubKeysEnumerateSorted) {
    HKEY k = create(HKEY_CURRENT_USER, "Software\\Korvex!\\Sys Clean");
    EXPECT_EQ(reg->setValue(k, "Bak files", REG_SZ, sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(k), ERROR_SUCCESS);
    ASSERT_EQ(reg->openKey(HKEY_CURRENT_USER, "SOFTWARE\\korvex!\\Sys clean", KEY_READ, &k), ERROR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(reg->queryValue(k, "BAK FILES", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(std::pair(type, data), std::pair(std::uint32_t{REG_SZ}, sz("1")));
    reg->closeKey(k);

    const HKEY parent = create(HKEY_LOCAL_MACHINE, "Software\\Order");
    for (const char* n : {"beta", "Alpha", "gamma", "_under", "Zeta"}) reg->closeKey(create(parent, n));
    std::string names, name;
    for (std::uint32_t i = 0; reg->enumKey(parent, i, &name) == ERROR_SUCCESS; ++i) names += name + ",";
    EXPECT_EQ(names, "_under,Alpha,beta,gamma,Zeta,");
    reg->closeKey(parent);
}

TEST_P(RegistryContract, ValuesKeepCreationOrderAndMissingThingsFailQuietly) {
    const HKEY k = create(HKEY_CURRENT_USER, "Software\\V");
    reg->setValue(k, "z", REG_SZ, sz("1"));
    reg->setValue(k, "a", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
    reg->setValue(k, "Z", REG_SZ, sz("2"));  // same value as "z": replaced in place
    std::string listed, name, data;
    std::uint32_t type = 0, i = 0;
    for (; reg->enumValue(k, i, &name, &type, &data) == ERROR_SUCCESS; ++i)
        listed += std::to_string(type) + ":" + data + "|";
    EXPECT_EQ(listed, std::to_string(REG_SZ) + ":" + sz("2") + "|" + std::to_string(REG_DWORD) + ":\x05" +
                          std::string(3, '\0') + "|");
    EXPECT_EQ(reg->enumValue(k, i, &name, &type, &data), ERROR_NO_MORE_ITEMS);
    EXPECT_NE(reg->queryValue(k, "missing", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(reg->deleteValue(k, "A"), ERROR_SUCCESS);
    EXPECT_NE(reg->queryValue(k, "a", &type, &data), ERROR_SUCCESS);
    reg->closeKey(k);

    EXPECT_FALSE(opens(HKEY_CURRENT_USER, "Software\\Nowhere"));
    EXPECT_NE(reg->queryValue(0, "x", &type, &data), ERROR_SUCCESS);
    EXPECT_NE(reg->enumKey(0, 0, &name), ERROR_SUCCESS);
}

TEST_P(RegistryContract, DeleteTreeRemovesEverythingBelowAndClassesRootIsMachineClasses) {
    const HKEY k = create(HKEY_CLASSES_ROOT, ".kvu");
    reg->setValue(k, "", REG_SZ, sz("KorvexUninstall"));
    reg->closeKey(k);
    EXPECT_TRUE(opens(HKEY_LOCAL_MACHINE, "Software\\Classes\\.KVU"));

    reg->closeKey(create(HKEY_CURRENT_USER, "Software\\App\\Deep\\Deeper"));
    reg->closeKey(create(HKEY_CURRENT_USER, "Software\\AppX"));
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "software\\app"), ERROR_SUCCESS);
    EXPECT_FALSE(opens(HKEY_CURRENT_USER, "Software\\App\\Deep"));
    EXPECT_TRUE(opens(HKEY_CURRENT_USER, "Software\\AppX"));
    EXPECT_NE(reg->deleteTree(HKEY_CURRENT_USER, "Software\\App"), ERROR_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WinePrefix" : "Memory"; });

}  // namespace
}  // namespace korvex
