#pragma once
// The readers behind OpenDroppedDocument, one per kind of content (FileFormat). Each says
// why a file cannot be read whatever its name; OpenDroppedDocument keeps the older kinds silent.

#include "dropfiles/DroppedDocument.h"

#include <QFile>

#include <memory>
#include <string>
#include <utility>

// A document of one picture, decoded when the file was opened.
class OnePicture final : public DroppedDocument {
public:
    explicit OnePicture(cv::Mat picture) : m_picture(std::move(picture)) {}
    int PageCount() const override { return 1; }
    PageOrder Order() const override { return PageOrder::InOrder; }

private:
    // Handed over, not kept: each page is asked for once.
    cv::Mat ReadPage(int index) override { return index == 0 ? std::exchange(m_picture, {}) : cv::Mat(); }

    cv::Mat m_picture;
};

// One picture as a document; Broken when it has no pixels.
OpenedDocument OpenedPicture(cv::Mat picture);

// What OpenCV reads, as LoadDroppedPicture reads it.
OpenedDocument OpenPicture(const std::string& narrowPath);
// Page 0 as OpenPicture reads it, the others after it.
OpenedDocument OpenTiffPages(const std::string& narrowPath);
// Every frame of a GIF, through Qt.
OpenedDocument OpenGif(std::unique_ptr<QFile> file);
// A still WebP through OpenCV, laid on white where transparent; every frame of an animated one
// through Qt.
OpenedDocument OpenWebp(std::unique_ptr<QFile> file);
// The primary picture of a HEIF or AVIF file, through libheif.
OpenedDocument OpenHeif(QFile& file);
// An SVG drawing (inflated first when gzipped), through Qt SVG.
OpenedDocument OpenSvg(QFile& file, bool gzipped);
// Every page of a PDF, through Poppler.
OpenedDocument OpenPdf(QFile& file);
