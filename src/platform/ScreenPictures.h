#pragma once
// Pictures of what the screens show. An X11 session is grabbed directly, every screen at its
// device pixels. Under Wayland an X11 grab would see only X windows, so the picture comes
// from the desktop portal (org.freedesktop.portal.Screenshot), which may ask the user first.
// Nothing is written to disk; a file the portal hands back is read and left as it is.

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWindow>

#include <chrono>
#include <optional>
#include <vector>

enum class ScreenPictureFailure {
    NotTaken,  // the grab gave nothing, or the portal's picture could not be read
    NoPortal,  // no portal on the session bus, or it failed the request
    Refused,   // the user or the portal said no
    NoAnswer,  // the portal did not answer within the patience given
};

struct ScreenPictures {
    std::vector<QImage> pictures;  // one per screen grabbed, or the portal's one
    std::optional<ScreenPictureFailure> failure;
};

// Whether the desktop session is a Wayland one, whatever platform Qt itself runs on.
bool IsWaylandSession();

// The pictures of the screens as they show now; waits for the portal up to patience.
ScreenPictures TakeScreenPictures(std::chrono::milliseconds patience);

// While it lives, the program's own visible top-level windows are off the screen, and the
// windows they covered have had a moment to repaint; then they come back where they were.
class OwnWindowsHidden {
public:
    OwnWindowsHidden();
    ~OwnWindowsHidden();
    OwnWindowsHidden(const OwnWindowsHidden&) = delete;
    OwnWindowsHidden& operator=(const OwnWindowsHidden&) = delete;

private:
    struct Hidden {
        QPointer<QWindow> window;  // gone when the window is destroyed meanwhile
        QPoint where;
    };
    std::vector<Hidden> hidden_;
};
