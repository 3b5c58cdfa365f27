// Opens a page of the product web site in the default browser.
#pragma once

#include "web_pages.h"

// The edition follows the system default language; failures are ignored.
void OpenWebPage(WebPage page);
