#include "platform/ui/MessageBox.h"

int MessageBox(HWND, const char* text, const char* caption, UINT type) {
  return MessageBox(std::string(text ? text : ""), std::string(caption ? caption : ""), type);
}

int AfxMessageBox(const char* text, UINT type) { return MessageBox(std::string(text ? text : ""), std::string(), type); }
