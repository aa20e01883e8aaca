#pragma once
// A dropped file as the pages it holds: one for a picture, every page of a PDF or a TIFF,
// every frame of an animated GIF or WebP. What reads it is chosen by its content, not its
// name. Safe to use from any thread (each document opens its own library objects, and shares
// nothing mutable with another); touches no widget.

#include "dropfiles/UnreadableReason.h"

#include <opencv2/core/mat.hpp>

#include <memory>
#include <optional>
#include <string>

// How a document's pages may be read: by one reader in order (frames of an animation, whose
// each frame is drawn over the one before), or each apart, on any thread, at the same time
// (a PDF's pages, a TIFF's).
enum class PageOrder { InOrder, Apart };

class DroppedDocument {
public:
    virtual ~DroppedDocument() = default;
    // At least 1; already cut to kMaxPages.
    virtual int PageCount() const = 0;
    virtual PageOrder Order() const = 0;
    // Page index (0-based) as one 8-bit gray channel, rows without gaps; an empty picture
    // when that page cannot be had. Each page is asked for once; an InOrder document is asked
    // 0, 1, 2, ... in turn. Never throws.
    cv::Mat Page(int index) noexcept;
    // Whether pages past kMaxPages were left out (the caller shows TruncatedNotice()).
    virtual bool Truncated() const { return false; }
    // Whether the pages are drawn, not photographed (a PDF's): sharp, noiseless, and at a
    // resolution chosen for their codes, so a look at a smoothed or enlarged copy finds nothing
    // more, at the cost of reading every page again.
    virtual bool Drawn() const { return false; }

protected:
    // Page's work, for each kind of document; may throw (a library's bad_alloc, say).
    virtual cv::Mat ReadPage(int index) = 0;
};

struct OpenedDocument {
    std::unique_ptr<DroppedDocument> document;  // null when nothing can be read
    // Why not, set only for a file whose name is of the newer kinds (UnreadableExtension):
    // one of the older kinds that fails (a broken .png) is passed over in silence, as always.
    std::optional<UnreadableReason> failure;
};

// Opens the file named by narrowPath (already taken for its extension), by what its content
// is. A single picture of the older kinds reads exactly as LoadDroppedPicture reads it. Never
// opens what is no regular file; never throws.
OpenedDocument OpenDroppedDocument(const std::string& narrowPath);
