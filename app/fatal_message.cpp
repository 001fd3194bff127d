#include "app/fatal_message.h"

#include <string>

Text FatalMessageText(const Text& message, int32_t errorNumber) {
  std::string text = "运行时出错!\r\n\r\n";
  if (errorNumber != 0) text += "错误代码：" + std::to_string(errorNumber) + "\r\n\r\n";
  if (!message.empty()) text += "错误信息：" + message.str() + "\r\n";
  return Text(text);
}

Text OutOfMemoryMessage(uint32_t byteCount) {
  return JoinTexts("分配 ", std::to_string(byteCount), " 字节内存失败!");
}
