// What the tray menu shows: plug-in entries by file name, the rename that switches them, the
// menu texts in both languages and the web pages the menu and the about box open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "menu_texts.h"
#include "plugin_files.h"
#include "web_pages.h"

namespace {

TEST(PluginFiles, DllIsOnLibIsOffAnythingElseIsNoPlugin) {
    EXPECT_EQ(kPluginOn, ClassifyPluginFile("Blur.dll"));
    EXPECT_EQ(kPluginOn, ClassifyPluginFile("Plugin.DLL"));
    EXPECT_EQ(kPluginOn, ClassifyPluginFile("odd.DlL"));
    EXPECT_EQ(kPluginOff, ClassifyPluginFile("Edge.lib"));
    EXPECT_EQ(kPluginOff, ClassifyPluginFile("EDGE.LIB"));
    for (const char* other : {"readme.txt", ".", "..", "ll", "", "dll.txt", "x.dl"}) {
        EXPECT_EQ(kNotAPlugin, ClassifyPluginFile(other)) << other;
    }
}

TEST(PluginFiles, TheMenuTextDropsTheDotAndExtension) {
    EXPECT_EQ("Blur", PluginMenuText("Blur.dll"));
    EXPECT_EQ("Plugin", PluginMenuText("Plugin.DLL"));
    EXPECT_EQ("a", PluginMenuText("a.lib"));
    EXPECT_EQ("nodot", PluginMenuText("nodotxdll")) << "the last four characters go";
}

TEST(PluginFiles, ANameWithNothingLeftIsShownWhole) {
    EXPECT_EQ("dll", PluginMenuText("dll"));
    EXPECT_EQ(".dll", PluginMenuText(".dll"));
    EXPECT_EQ("xlib", PluginMenuText("xlib"));
}

TEST(PluginSwitch, RenamesBetweenDllAndLibInLowerCase) {
    std::string name = "Filter.dll";
    SwitchPluginExtension(name);
    EXPECT_EQ("Filter.lib", name);
    SwitchPluginExtension(name);
    EXPECT_EQ("Filter.dll", name);
    name = "FILTER.DLL";
    SwitchPluginExtension(name);
    EXPECT_EQ("FILTER.lib", name);
    name = "FILTER.LIB";
    SwitchPluginExtension(name);
    EXPECT_EQ("FILTER.dll", name);
}

TEST(PluginSwitch, ShortNamesAreLeftAlone) {
    for (const char* text : {"", "l", "lb"}) {
        std::string name = text;
        SwitchPluginExtension(name);
        EXPECT_EQ(text, name);
    }
}

// The Cyrillic letters of code page 1251 (0xC0..0xFF) as UTF-8, the rest as it is.
std::string Cp1251ToUtf8(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
            continue;
        }
        EXPECT_GE(*p, 0xC0) << "only Cyrillic letters are expected";
        const unsigned code = 0x410 + (*p - 0xC0);
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

TEST(TrayMenuTexts, EnglishUnlessTheSystemLanguageIsRussian) {
    for (unsigned language : {0x0409u, 0x0407u, 0x0819u, 0x0000u}) {
        const TrayMenuTexts& t = TrayMenuTextsFor(language);
        EXPECT_STREQ("Visit Website", t.visitWebsite) << std::hex << language;
        EXPECT_STREQ("About...", t.about);
        EXPECT_STREQ("Settings...", t.settings);
        EXPECT_STREQ("Plug-Ins", t.plugIns);
        EXPECT_STREQ("Show / Hide", t.showHide);
        EXPECT_STREQ("Exit", t.exit);
    }
}

TEST(TrayMenuTexts, RussianTextsAreCodePage1251) {
    const TrayMenuTexts& t = TrayMenuTextsFor(0x0419);
    EXPECT_EQ("\u041f\u043e\u0441\u0435\u0442\u0438\u0442\u044c \u0441\u0430\u0439\u0442",
              Cp1251ToUtf8(t.visitWebsite));
    EXPECT_EQ("\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435...",
              Cp1251ToUtf8(t.about));
    EXPECT_EQ("\u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0438", Cp1251ToUtf8(t.settings));
    EXPECT_STREQ("Plug-Ins", t.plugIns);
    EXPECT_EQ("\u041f\u043e\u043a\u0430\u0437\u0430\u0442\u044c / "
              "\u0421\u043a\u0440\u044b\u0442\u044c",
              Cp1251ToUtf8(t.showHide));
    EXPECT_EQ("\u0412\u044b\u0445\u043e\u0434", Cp1251ToUtf8(t.exit));
    EXPECT_STREQ("Get more Plug-Ins...", kGetMorePluginsText);
}

TEST(WebPages, AllLieOnTheOneSiteWithRussianEditionsForHelpAndDonation) {
    const std::string start = WebPageAddress(WebPage::Start, 0x0409);
    EXPECT_EQ("https://www.vexlume.net/", start);
    EXPECT_EQ(start + "vexlume/plug-ins/", WebPageAddress(WebPage::PlugIns, 0x0409));
    EXPECT_EQ(start + "vexlume/plug-ins/", WebPageAddress(WebPage::PlugIns, 0x0419));
    EXPECT_EQ(start + "vexlume/help.html", WebPageAddress(WebPage::Help, 0x0409));
    EXPECT_EQ(start + "vexlume/help[ru].html", WebPageAddress(WebPage::Help, 0x0419));
    EXPECT_EQ(start + "vexlume/help.html", WebPageAddress(WebPage::Help, 0x0819))
        << "Russian as spoken elsewhere gets the other edition";
    EXPECT_EQ(start + "vexlume/donate.html", WebPageAddress(WebPage::Donate, 0x0409));
    EXPECT_EQ(start + "vexlume/donate[ru].html", WebPageAddress(WebPage::Donate, 0x0419));
}

} // namespace
