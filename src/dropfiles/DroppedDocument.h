#pragma once
// A dropped file as pages to read: a picture is one page, a PDF or an animated GIF many.

#include <opencv2/core/mat.hpp>

#include <QString>

#include <memory>
#include <optional>
#include <string>

// Why a dropped file gives no pages at all; each has its own short notice.
enum class UnreadableReason { Encrypted, Broken, OverLimits };
QString NoticeFor(UnreadableReason reason);

// How a document's pages may be read: by one reader in order (frames of a GIF, pages of a
// TIFF), or each apart by a reader of its own on any thread (a PDF's pages).
enum class PageOrder { InOrder, Apart };

class DroppedDocument {
public:
    virtual ~DroppedDocument() = default;
    virtual int PageCount() const = 0;  // at least 1; already capped at the page limit
    virtual PageOrder Order() const = 0;
    // Page i (0-based) as one 8-bit gray channel, rows without gaps; an empty picture when that
    // page cannot be had. InOrder documents are asked 0, 1, 2, ... once each.
    virtual cv::Mat Page(int index) = 0;
    // Whether pages past the limit were left out.
    virtual bool Truncated() const { return false; }
};

struct OpenedDocument {
    std::unique_ptr<DroppedDocument> document;  // null when nothing can be read
    std::optional<UnreadableReason> failure;    // set only for files of the new kinds
};
// Opens the file named by narrowPath (already accepted by its extension) by what its content is.
OpenedDocument OpenDroppedDocument(const std::string& narrowPath);
