// The program icons by name: "Orvi" in Orvi.exe, "Configurador" in Configurador.exe.
#include <gtest/gtest.h>
#include <windows.h>
#include "resource_program.h"

namespace {

// The icon group exists and the image it picks for the standard icon size exists too.
void ExpectIcon(const char* program, const char* name) {
    ShippedProgram shipped(program);
    ASSERT_TRUE(shipped.Loaded()) << shipped.Path();
    std::vector<uint8_t> group = shipped.Resource(RT_GROUP_ICON, name);
    ASSERT_FALSE(group.empty()) << "no icon \"" << name << "\" in " << program;
    int image = LookupIconIdFromDirectory(group.data(), TRUE);
    ASSERT_GT(image, 0) << "an icon group without images";
    EXPECT_TRUE(shipped.Has(RT_ICON, MAKEINTRESOURCEA(image))) << "image " << image << " of \"" << name << "\"";
}

TEST(ResourceIcons, ConfiguratorHasItsIconOrvi) { ExpectIcon("Orvi.exe", "Orvi"); }

TEST(ResourceIcons, LauncherHasItsIconConfigurador) { ExpectIcon("Configurador.exe", "Configurador"); }

}  // namespace
