#pragma once
// The title of the capture preview window. The window is never created explicitly: the
// first picture shown under this name opens it, and the end of the run closes it.

inline constexpr char PREVIEW_WINDOW[] = "取り込み";
