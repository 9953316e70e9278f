#pragma once
// The handlers the main window raises. An empty one does nothing.

#include <functional>

namespace tavrin {

struct WindowHandlers {
    std::function<void()> read;               // 读取(&R) clicked
    std::function<void()> add;                // 添加(&A) clicked
    std::function<void()> parse;              // 解析(&P) clicked
    std::function<void()> copy;               // 复制(&C) clicked
    std::function<void()> listRightClicked;   // the lesson list's right click
    std::function<void()> listDoubleClicked;  // a double-click into the lesson list
};

}  // namespace tavrin
