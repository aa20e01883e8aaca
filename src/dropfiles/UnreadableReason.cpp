#include "dropfiles/UnreadableReason.h"

#include "dropfiles/DocumentLimits.h"

QString NoticeFor(UnreadableReason reason)
{
    switch (reason) {
    case UnreadableReason::Encrypted:
        return QStringLiteral("パスワードで保護された PDF は読めません。");
    case UnreadableReason::OverLimits:
        return QStringLiteral("ファイルが大きすぎるため読めません。");
    case UnreadableReason::Broken:
        break;
    }
    return QStringLiteral("ファイルが壊れているか、読めない形式です。");
}

QString TruncatedNotice()
{
    return QStringLiteral("最初の %1 ページだけを読み取りました。").arg(kMaxPages);
}
