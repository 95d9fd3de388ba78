// The registry behaviour every backend must share, checked on each of them: the fake
// that logic tests rely on must behave like the machine's registry.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/fake/memory_registry.h"
#include "platform/registry.h"
#include "tests/fakes/backends.h"

namespace korvex {
namespace {

class RegistryContract : public ::testing::TestWithParam<RegistryBackendFactory> {
protected:
    void SetUp() override { reg = GetParam().make(); }
    std::unique_ptr<Registry> reg;

    std::string sz(std::string_view text) { return std::string(text) + '\0'; }
};

TEST_P(RegistryContract, NamesIgnoreCaseAndSubKeysEnumerateSorted) {
    HKEY k = 0;
    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\Korvex!\\Sys Clean", &k), ERROR_SUCCESS);
    EXPECT_EQ(reg->setValue(k, "Bak files", REG_SZ, sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(k), ERROR_SUCCESS);

    HKEY same = 0;
    ASSERT_EQ(reg->openKey(HKEY_CURRENT_USER, "SOFTWARE\\korvex!\\Sys clean", KEY_READ, &same), ERROR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(reg->queryValue(same, "BAK FILES", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data, sz("1"));
    reg->closeKey(same);

    HKEY parent = 0;
    ASSERT_EQ(reg->createKey(HKEY_LOCAL_MACHINE, "Software\\Order", &parent), ERROR_SUCCESS);
    for (const char* n : {"beta", "Alpha", "gamma", "_under", "Zeta"}) {
        HKEY c = 0;
        ASSERT_EQ(reg->createKey(parent, n, &c), ERROR_SUCCESS);
        reg->closeKey(c);
    }
    std::string names;
    std::string name;
    for (std::uint32_t i = 0; reg->enumKey(parent, i, &name) == ERROR_SUCCESS; ++i) names += name + ",";
    EXPECT_EQ(names, "_under,Alpha,beta,gamma,Zeta,");
    reg->closeKey(parent);
}

TEST_P(RegistryContract, ValuesKeepCreationOrderAndMissingThingsFailQuietly) {
    HKEY k = 0;
    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\V", &k), ERROR_SUCCESS);
    reg->setValue(k, "z", REG_SZ, sz("1"));
    reg->setValue(k, "a", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
    reg->setValue(k, "Z", REG_SZ, sz("2"));  // same value as "z": replaced in place
    std::string n1, n2, n3;
    std::uint32_t t = 0;
    std::string d;
    EXPECT_EQ(reg->enumValue(k, 0, &n1, &t, &d), ERROR_SUCCESS);
    EXPECT_EQ(d, sz("2"));
    EXPECT_EQ(reg->enumValue(k, 1, &n2, &t, &d), ERROR_SUCCESS);
    EXPECT_EQ(t, REG_DWORD);
    EXPECT_EQ(reg->enumValue(k, 2, &n3, &t, &d), ERROR_NO_MORE_ITEMS);
    EXPECT_NE(reg->queryValue(k, "missing", &t, &d), ERROR_SUCCESS);
    EXPECT_EQ(reg->deleteValue(k, "A"), ERROR_SUCCESS);
    EXPECT_NE(reg->queryValue(k, "a", &t, &d), ERROR_SUCCESS);
    reg->closeKey(k);

    HKEY none = 0;
    EXPECT_NE(reg->openKey(HKEY_CURRENT_USER, "Software\\Nowhere", KEY_READ, &none), ERROR_SUCCESS);
    EXPECT_EQ(none, 0u);
    EXPECT_NE(reg->queryValue(0, "x", &t, &d), ERROR_SUCCESS);
    std::string sub;
    EXPECT_NE(reg->enumKey(0, 0, &sub), ERROR_SUCCESS);
}

TEST_P(RegistryContract, DeleteTreeRemovesEverythingBelowAndClassesRootIsMachineClasses) {
    HKEY k = 0;
    ASSERT_EQ(reg->createKey(HKEY_CLASSES_ROOT, ".kvu", &k), ERROR_SUCCESS);
    reg->setValue(k, "", REG_SZ, sz("KorvexUninstall"));
    reg->closeKey(k);
    HKEY viaMachine = 0;
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.KVU", KEY_READ, &viaMachine), ERROR_SUCCESS);
    reg->closeKey(viaMachine);

    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\App\\Deep\\Deeper", &k), ERROR_SUCCESS);
    reg->closeKey(k);
    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\AppX", &k), ERROR_SUCCESS);
    reg->closeKey(k);
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "software\\app"), ERROR_SUCCESS);
    HKEY gone = 0;
    EXPECT_NE(reg->openKey(HKEY_CURRENT_USER, "Software\\App\\Deep", KEY_READ, &gone), ERROR_SUCCESS);
    HKEY sibling = 0;
    EXPECT_EQ(reg->openKey(HKEY_CURRENT_USER, "Software\\AppX", KEY_READ, &sibling), ERROR_SUCCESS);
    reg->closeKey(sibling);
    EXPECT_NE(reg->deleteTree(HKEY_CURRENT_USER, "Software\\App"), ERROR_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(RegistryBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace korvex
