#pragma once
// The main dialog's template: its frame and its eleven controls, in creation and tab order,
// with positions and sizes in dialog units.

#include "ui/ControlIds.h"

#include <array>
#include <cstdint>
#include <string_view>

enum class ControlKind { DefaultButton, PushButton, MultilineEdit, AutoRadio, AutoCheck, Label, DropDownList };

enum ControlStyle : std::uint8_t {
    kNoStyle = 0,
    kVisible = 1 << 0,
    kTabStop = 1 << 1,
    kGroup = 1 << 2,  // starts a group of its own: radio buttons do not uncheck each other
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view caption;
    int x, y, width, height;  // dialog units
    unsigned style;
};

struct DialogFrame {
    std::string_view title;
    int pointSize;
    int width, height;  // dialog units, of the client area
};

inline constexpr DialogFrame kMainDialog{"Lumora Ver.2.2.3", 9, 369, 232};

// First family is the one the template names; the others are the Japanese fonts a Linux
// desktop has instead.
inline constexpr std::array<std::string_view, 4> kDialogFontFamilies{"MS UI Gothic", "IPAPGothic", "IPAGothic",
                                                                     "Noto Sans CJK JP"};

inline constexpr std::array<ControlTemplate, 11> kMainDialogControls{{
    {IDOK, ControlKind::DefaultButton, "閉じる", 292, 25, 70, 21, kVisible | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "キャンセル", 312, 47, 50, 16, kTabStop},  // never shown: Esc's target
    {IDC_RESULT, ControlKind::MultilineEdit, "", 7, 7, 280, 218, kVisible | kTabStop},
    {IDC_START_CAPTURE, ControlKind::PushButton, "取り込み開始", 293, 101, 69, 20, kVisible | kTabStop},
    {IDC_STOP_CAPTURE, ControlKind::PushButton, "取り込み終了", 294, 125, 68, 20, kVisible | kTabStop},
    {IDC_CLEAR, ControlKind::PushButton, "クリア", 296, 165, 66, 18, kVisible | kTabStop},
    {IDC_SIZE_LARGE, ControlKind::AutoRadio, "大画面", 300, 64, 36, 10, kVisible | kGroup},
    {IDC_SIZE_SMALL, ControlKind::AutoRadio, "小画面", 300, 77, 36, 10, kVisible | kGroup},
    {IDC_CLIPBOARD, ControlKind::AutoCheck, "クリップ", 300, 187, 34, 10, kVisible | kTabStop},
    {IDC_STATIC, ControlKind::Label, "ボード格納", 308, 201, 36, 11, kVisible | kGroup},
    // The height is that of the open drop-down; the closed box keeps its natural height.
    {IDC_CAMERA, ControlKind::DropDownList, "", 290, 5, 72, 30, kVisible | kTabStop},
}};
