// The installer's one routine for every message and question.
#pragma once

#include <cstdint>
#include <string>

// Button sets as masks of button kinds (bit 0 Yes, bit 1 No, bit 2 OK).
using TDialogButtons = uint16_t;
constexpr TDialogButtons DialogYesNo = 3;
constexpr TDialogButtons DialogOK = 4;

// Modal results the installer compares with.
constexpr int DialogResultOK = 1;
constexpr int DialogResultYes = 6;
constexpr int DialogResultNo = 7;

int ShowDialog(const std::wstring& Title, const std::wstring& Text, TDialogButtons Buttons);
