#include "dropfiles/DropExtensions.h"

#include <gtest/gtest.h>

TEST(DropExtensions, TheLastDotOfTheWholePathDecidesExactly)
{
    for (const char* const path : {"/p/a.png", "/p/scan.tiff", "/p/label.jpeg", "/p/.png", "/p/a.b.gif", "x.png"})
        EXPECT_TRUE(AcceptedExtension(QString::fromUtf8(path))) << path;
    for (const char* const path : {"/p/a.PNG", "/p/a.Jpg", "/p/a.tif", "/p/a.jpe", "/p/a.png ", "/p/a.png.txt",
                                   "/p/data.old/file", "/p/a.pngx", "/p/a", ".png", ".", ""})
        EXPECT_FALSE(AcceptedExtension(QString::fromUtf8(path))) << path;
}
