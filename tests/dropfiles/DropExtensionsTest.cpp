#include "dropfiles/DropExtensions.h"

#include <gtest/gtest.h>

TEST(DropExtensions, TheLastDotOfTheWholePathDecidesExactly)
{
    for (const char* const path : {"/p/a.png", "/p/a.bmp", "/p/a.jpeg", "/p/a.jpg", "/p/a.jp2", "/p/a.pbm", "/p/a.pgm",
                                   "/p/a.ppm", "/p/a.ras", "/p/a.tiff", "/p/a.gif", "/p/.png", "/p/a.b.gif", "x.png"})
        EXPECT_TRUE(AcceptedExtension(QString::fromUtf8(path))) << path;
    for (const char* const path : {"/p/a.PNG", "/p/a.Jpg", "/p/a.tif", "/p/a.jpe", "/p/a.png ", "/p/a.png.txt",
                                   "/p/data.old/file", "/p/a.pngx", "/p/a", ".png", ".", ""})
        EXPECT_FALSE(AcceptedExtension(QString::fromUtf8(path))) << path;
}
