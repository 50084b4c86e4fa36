#include "app/pages/web_link.h"

#include <string>

#include "app/form1.h"
#include "app/shell.h"
#include "app/system_services.h"

namespace fw {

void OpenWebLink(TForm1& form, WebLink link) {
  if (form.platform.shell == nullptr) return;
  std::string localCopy;
  if (!LocalPage(link).empty() && form.platform.system != nullptr)
    localCopy = form.platform.system->ProgramDirectory() + std::string(LocalPage(link));
  form.platform.shell->OpenPage(std::string(WebAddress(link)), localCopy);
}

}  // namespace fw
