#pragma once
// The link buttons' command: the web page in the browser, or its copy in the
// program directory when the web site cannot be reached.
#include "app/web_links.h"

namespace fw {

class TForm1;

void OpenWebLink(TForm1& form, WebLink link);

}  // namespace fw
