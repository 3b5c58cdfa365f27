// The product web site's pages, opened in the default browser. The site's address is set in
// web_pages.cpp, and only there. No Windows headers.
#pragma once

enum class WebPage {
    Start,   // the site's start page ("Visit Website")
    PlugIns, // "Get more Plug-Ins..."
    Help,    // English or Russian edition
    Donate,  // English or Russian edition
};

// The full address of a page; Help and Donate in Russian when the system default language is
// Russian (0x0419).
const char* WebPageAddress(WebPage page, unsigned systemLanguage);
