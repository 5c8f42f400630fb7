// WindowMessages: the Win32-style message numbers and virtual-key codes that the engine's window procedure
// and input handling speak. The platform layer (XWindow) translates SDL events into these, so the engine's
// logic stays written in terms of key codes and messages rather than one windowing library.
#pragma once

#include <cstdint> // uint32_t, intptr_t

using WPARAM = uintptr_t;
using LPARAM = intptr_t;

// Messages.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_XBUTTON1 = 0x05;
constexpr int VK_XBUTTON2 = 0x06;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C; // Print Screen
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMPAD0 = 0x60; // to VK_NUMPAD9 = 0x69
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_OEM_1 = 0xBA;      // ;
constexpr int VK_OEM_PLUS = 0xBB;   // =
constexpr int VK_OEM_COMMA = 0xBC;  // ,
constexpr int VK_OEM_MINUS = 0xBD;  // -
constexpr int VK_OEM_PERIOD = 0xBE; // .
constexpr int VK_OEM_2 = 0xBF;      // /
constexpr int VK_OEM_3 = 0xC0;      // `
constexpr int VK_OEM_4 = 0xDB;      // [
constexpr int VK_OEM_5 = 0xDC;      // backslash
constexpr int VK_OEM_6 = 0xDD;      // ]
constexpr int VK_OEM_7 = 0xDE;      // '

// A client-area point packed as the mouse messages carry it: x in the low 16 bits, y in the high 16 bits.
inline LPARAM MakePointParam(int x, int y)
{
    const uint32_t packedX = static_cast<uint32_t>(x) & 0xFFFFu;
    const uint32_t packedY = static_cast<uint32_t>(y) & 0xFFFFu;
    return static_cast<LPARAM>(packedX | (packedY << 16));
}

inline int PointParamX(LPARAM lParam)
{
    return static_cast<int>(static_cast<uint32_t>(lParam) & 0xFFFFu);
}

inline int PointParamY(LPARAM lParam)
{
    return static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu);
}

// Bit 30 of a key message's lParam: the key was already down (an auto-repeat).
constexpr LPARAM kKeyRepeatBit = LPARAM(1) << 30;
