#include "dropfiles/DroppedDocument.h"

#include "dropfiles/DroppedPicture.h"

namespace {
class SinglePicture : public DroppedDocument {
public:
    explicit SinglePicture(std::string path) : path_(std::move(path)) {}
    int PageCount() const override { return 1; }
    PageOrder Order() const override { return PageOrder::InOrder; }
    cv::Mat Page(int) override { return LoadDroppedPicture(path_); }

private:
    std::string path_;
};
}  // namespace

QString NoticeFor(UnreadableReason)
{
    return QStringLiteral("読めないファイルです");
}

OpenedDocument OpenDroppedDocument(const std::string& narrowPath)
{
    return {std::make_unique<SinglePicture>(narrowPath), std::nullopt};
}
