#pragma once
// Identifiers of the main dialog's controls, in the numbering of the original template.

inline constexpr int IDC_STATIC = -1;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_RESULT = 1000;
inline constexpr int IDC_START_CAPTURE = 1001;
inline constexpr int IDC_STOP_CAPTURE = 1002;
inline constexpr int IDC_CLEAR = 1003;
inline constexpr int IDC_SIZE_LARGE = 1004;
inline constexpr int IDC_SIZE_SMALL = 1005;
inline constexpr int IDC_CLIPBOARD = 1006;
inline constexpr int IDC_CAMERA = 1007;
