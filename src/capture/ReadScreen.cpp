// Codes on the screen: a picture of every screen, taken with Lumora's own windows out of the
// way, read as a dropped picture is, for the camera's types: a code on a screen is what a
// camera would see. Nothing found is said in a notice, never in silence.

#include "ui/LumoraDlg.h"

#include "decode/AcceptLists.h"
#include "platform/GrayPicture.h"
#include "platform/ScreenPictures.h"

#include <chrono>

namespace {

// The portal may ask the user first; a portal that never answers must not hold the dialog.
constexpr std::chrono::milliseconds kPortalPatience{20000};

QString NoticeFor(const std::optional<ScreenPictureFailure>& failure)
{
    if (!failure)
        return QStringLiteral("画面にコードが見つかりませんでした。");
    switch (*failure) {
    case ScreenPictureFailure::NoPortal:
        return QStringLiteral("画面を取り込めませんでした（スクリーンショットのポータルがありません）。");
    case ScreenPictureFailure::Refused:
        return QStringLiteral("画面を取り込めませんでした（許可されませんでした）。");
    case ScreenPictureFailure::NoAnswer:
        return QStringLiteral("画面を取り込めませんでした（ポータルが応答しません）。");
    case ScreenPictureFailure::NotTaken:
        break;
    }
    return QStringLiteral("画面を取り込めませんでした。");
}

}  // namespace

void CLumoraDlg::OnReadScreen()
{
    HandleInTurn([this] {
        ScreenPictures taken;
        {
            const OwnWindowsHidden hidden;
            taken = TakeScreenPictures(kPortalPatience);
        }
        ReadScreenPictures(taken);
    });
}

void CLumoraDlg::ReadScreenFirst()
{
    HandleInTurn([this, taken = TakeScreenPictures(kPortalPatience)] { ReadScreenPictures(taken); });
}

void CLumoraDlg::ReadScreenPictures(const ScreenPictures& taken)
{
    std::size_t reported = 0;
    for (const QImage& picture : taken.pictures)
        reported += DecodePicture(GrayPictureFromImage(picture), CAMERA_TYPES);
    if (reported == 0)
        ShowNotice(NoticeFor(taken.failure));
}
