#pragma once
// Why a dropped file of one of the newer kinds (WebP, HEIF, SVG, PDF) gives no pages at all,
// and the short notice the user sees for it.

#include <QString>

enum class UnreadableReason {
    Encrypted,   // a PDF that asks for a password
    Broken,      // damaged, truncated, empty, or not of the kind its name says
    OverLimits,  // larger than a dropped file may be (file size, pixels)
};

// The Japanese notice for a file that cannot be read, e.g. "パスワードで保護された PDF は読めません。".
QString NoticeFor(UnreadableReason reason);

// The notice for a document of which only the first pages were read (DroppedDocument::Truncated).
QString TruncatedNotice();
