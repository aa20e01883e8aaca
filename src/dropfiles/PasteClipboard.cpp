// Pastes take the drop path: files as a drop of them, a picture (a screenshot, say) as a
// dropped picture without its echo line.

#include "ui/LumoraDlg.h"

#include "decode/AcceptLists.h"
#include "platform/GrayPicture.h"
#include "platform/MimeFiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <opencv2/core/mat.hpp>

bool CLumoraDlg::PasteFrom(const QMimeData& mime)
{
    // Read in full now: the first result line replaces the clipboard's content.
    const QStringList paths = LocalFilePaths(mime);
    if (!paths.isEmpty()) {
        OpenFiles(paths);
        return true;
    }
    if (!mime.hasImage())
        return false;
    const cv::Mat picture = GrayPictureFromImage(qvariant_cast<QImage>(mime.imageData()));
    HandleInTurn([this, picture] { static_cast<void>(DecodePicture(picture, DROP_TYPES)); });  // found or not, silent
    return true;
}

void CLumoraDlg::OnPaste()
{
    const QMimeData* const mime = QGuiApplication::clipboard()->mimeData();
    if (mime != nullptr)
        static_cast<void>(PasteFrom(*mime));  // text has no place outside the result box
}
