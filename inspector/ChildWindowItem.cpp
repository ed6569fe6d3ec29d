#include "inspector/ChildWindowItem.h"

#include "platform/Format.h"

namespace inspector {

std::array<std::string, kChildColumns> ChildRowTexts(const CChildWindowItem& item) {
  return {platform::FormatHandle(item.hwnd),
          item.className,
          item.text,
          platform::FormatHandle(item.parent),
          platform::FormatInt(item.ctrlId),
          item.visible ? "TRUE" : "",
          item.enabled ? "TRUE" : ""};
}

}  // namespace inspector
