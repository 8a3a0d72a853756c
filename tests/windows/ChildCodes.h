// Exit codes of the test program's child modes (main.cpp).
#pragma once

namespace puente::win32test {

// --console-echo: no console can be had (Wine outside a terminal).
inline constexpr int kNoConsole = 6;

}  // namespace puente::win32test
