// The menus "Menu" of Orvi.exe and of Configurador.exe: every entry's text, id and place.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "resource_menu_template.h"
#include "resource_program.h"

namespace {

struct ExpectedEntry {
    const char* text;  // Windows-1252
    uint32_t id;       // 0 for a popup
    std::vector<ExpectedEntry> items;
};

std::vector<MenuEntry> ShippedMenu(const char* program) {
    ShippedProgram shipped(program);
    EXPECT_TRUE(shipped.Loaded()) << shipped.Path();
    std::vector<MenuEntry> bar;
    std::vector<uint8_t> bytes = shipped.Resource(RT_MENU, "Menu");
    EXPECT_FALSE(bytes.empty()) << "no menu \"Menu\" in " << shipped.Path();
    if (!bytes.empty()) {
        EXPECT_TRUE(ReadMenuTemplate(bytes, bar)) << "truncated menu template";
    }
    return bar;
}

void ExpectEntries(const std::vector<MenuEntry>& actual, const std::vector<ExpectedEntry>& expected,
                   const std::string& path) {
    EXPECT_EQ(actual.size(), expected.size()) << "entries of " << path;
    for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
        const MenuEntry& entry = actual[i];
        const ExpectedEntry& wanted = expected[i];
        std::string here = path + "/" + std::to_string(i);
        EXPECT_EQ(entry.text, wanted.text) << here;
        bool isPopup = !wanted.items.empty();
        EXPECT_EQ(entry.popup, isPopup) << here << " \"" << entry.text << "\"";
        if (!isPopup) {
            EXPECT_EQ(entry.id, wanted.id) << here << " \"" << entry.text << "\"";
        }
        // Nothing starts greyed or checked: the launcher greys only what it misses.
        EXPECT_EQ(entry.flags, 0u) << here << " \"" << entry.text << "\"";
        ExpectEntries(entry.items, wanted.items, here);
    }
}

TEST(ResourceMenus, ConfiguratorMenuReachesTheRecordsExitHostSettingsSheetSearchAndAbout) {
    ExpectEntries(ShippedMenu("Orvi.exe"),
                  {
                      {"&Arquivo",
                       0,
                       {{"Salvar configuração em arquivo...", 40048, {}},
                        {"Abrir configuração de arquivo...", 40064, {}},
                        {"", 0, {}},
                        {"Novo arquivo de configuração...", 40144, {}},
                        {"Editar arquivo de configuração...", 40128, {}},
                        {"", 0, {}},
                        {"Relatório de comissionamento...", 40080, {}},
                        {"Histórico de alterações...", 40096, {}},
                        {"", 0, {}},
                        {"&Sair", 40003, {}}}},
                      {"&Configurar", 0, {{"&Comunicação", 40005, {}}, {"Diagnóstico da linha...", 40112, {}}}},
                      {"&Orvi", 0, {{"&Configurador", 40031, {}}, {"&Busca Automática", 40033, {}}}},
                      {"Aj&uda", 0, {{"S&obre", 40002, {}}}},
                  },
                  "Menu");
}

TEST(ResourceMenus, LauncherMenuHasTheToolsInTheirPositionsForGreying) {
    ExpectEntries(ShippedMenu("Configurador.exe"),
                  {
                      {"&Arquivo", 0, {{"&Exit", 40003, {}}}},
                      {"&Ferramentas",
                       0,
                       {
                           {"&Gravlo", 0, {{"&Configurador", 40036, {}}, {"&Busca Automática", 40037, {}}}},
                           {"Orv&i", 0, {{"Configurador", 40034, {}}, {"Busca Automática", 40035, {}}}},
                           {"R&uvel / Tasko", 40032, {}},
                           {"Mi&rel", 40033, {}},
                       }},
                      {"&Ajuda", 0, {{"&Sobre", 40002, {}}}},
                  },
                  "Menu");
}

}  // namespace
