#pragma once
// Builds the camera table: the V4L2 capture devices in ascending device number, then the
// non-empty lines of LUMORA_EXTRA_CAMERAS, each shown under its last path component.
// Names go to g_cameraNames from entry g_cameraCount on, sources to g_cameraSources; at
// most kMaxCameras in all, the rest is left out. EnumerateVideoInputs() itself, declared
// with the dialog, reads /dev and the environment.

#include "platform/VideoDevices.h"

#include <filesystem>
#include <string_view>

inline constexpr const char* kExtraCamerasVariable = "LUMORA_EXTRA_CAMERAS";

void EnumerateVideoInputs(const std::filesystem::path& deviceFolder, std::string_view extraCameras,
                          const CaptureProbe& probe);
