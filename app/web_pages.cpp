#include "web_pages.h"

#include "system_language.h"

// The product web site, with its trailing slash.
#define VX_SITE "https://www.vexlume.net/"

const char* WebPageAddress(WebPage page, unsigned systemLanguage) {
    const bool russian = UsesRussianTexts(systemLanguage);
    switch (page) {
    case WebPage::Start:
        return VX_SITE;
    case WebPage::PlugIns:
        return VX_SITE "vexlume/plug-ins/";
    case WebPage::Help:
        return russian ? VX_SITE "vexlume/help[ru].html" : VX_SITE "vexlume/help.html";
    case WebPage::Donate:
        return russian ? VX_SITE "vexlume/donate[ru].html" : VX_SITE "vexlume/donate.html";
    }
    return VX_SITE;
}
