// The version resource of Orvi.exe: fixed file version, the Brazilian Portuguese string table.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "resource_program.h"
#include "resource_version_info.h"

namespace {

VersionBlock ShippedVersion() {
    ShippedProgram orvi("Orvi.exe");
    EXPECT_TRUE(orvi.Loaded()) << orvi.Path();
    VersionBlock root;
    std::vector<uint8_t> bytes = orvi.Resource(RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO));
    EXPECT_FALSE(bytes.empty()) << "no version resource";
    if (!bytes.empty()) {
        EXPECT_TRUE(ReadVersionInfo(bytes, root)) << "malformed version resource";
    }
    return root;
}

TEST(ResourceVersion, FixedFileVersionIsOnePointOne) {
    VersionBlock root = ShippedVersion();
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    VS_FIXEDFILEINFO fixed = {};
    ASSERT_EQ(root.value.size(), sizeof fixed);
    std::memcpy(&fixed, root.value.data(), sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u) << "1.1";
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000000u) << ".0.0";
}

TEST(ResourceVersion, StringsOfTheBrazilianPortugueseUnicodeBlock) {
    VersionBlock root = ShippedVersion();
    const VersionBlock* strings = root.Child("StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u) << "one language block";
    const VersionBlock& table = strings->children[0];
    EXPECT_EQ(table.key, "041604b0");

    const std::pair<const char*, const char*> stated[] = {
        {"FileDescription", "Configurador do Orvi - Transmissor Inteligente"},
        {"FileVersion", "1.11"},
        {"ProductVersion", "1.11"},
        {"InternalName", "Orvi"},
        {"OriginalFilename", "Orvi.exe"},
        {"ProductName", "  Orvi"},
    };
    for (const auto& entry : stated) {
        const VersionBlock* value = table.Child(entry.first);
        ASSERT_NE(value, nullptr) << entry.first;
        EXPECT_TRUE(value->isText) << entry.first;
        EXPECT_EQ(value->text, entry.second) << entry.first;
    }
    // The two others carry the maker's name and the year.
    EXPECT_EQ(table.children.size(), 8u);
    const VersionBlock* company = table.Child("CompanyName");
    const VersionBlock* copyright = table.Child("LegalCopyright");
    ASSERT_NE(company, nullptr);
    ASSERT_NE(copyright, nullptr);
    EXPECT_FALSE(company->text.empty());
    EXPECT_NE(copyright->text.find(company->text), std::string::npos) << copyright->text;
    EXPECT_NE(copyright->text.find_first_of("0123456789"), std::string::npos) << "no year: " << copyright->text;
}

TEST(ResourceVersion, TranslationIsBrazilianPortugueseInUnicode) {
    VersionBlock root = ShippedVersion();
    const VersionBlock* variables = root.Child("VarFileInfo");
    ASSERT_NE(variables, nullptr);
    const VersionBlock* translation = variables->Child("Translation");
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(translation->value.size(), 4u);
    const std::vector<uint8_t>& v = translation->value;
    EXPECT_EQ(v[0] | (v[1] << 8), 0x0416) << "language";
    EXPECT_EQ(v[2] | (v[3] << 8), 1200) << "code page";
}

}  // namespace
