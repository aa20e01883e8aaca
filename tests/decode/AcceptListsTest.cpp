#include "decode/AcceptLists.h"

#include <gtest/gtest.h>

TEST(AcceptLists, CameraTakesSixSymbologiesAndDropTwo)
{
    for (const char* type : {"QR-Code", "Codabar", "CODE-39", "CODE-128", "EAN-13", "ISBN-13"})
        EXPECT_TRUE(IsAccepted(type, CAMERA_TYPES)) << type;
    EXPECT_TRUE(IsAccepted("QR-Code", DROP_TYPES));
    EXPECT_TRUE(IsAccepted("Codabar", DROP_TYPES));
    for (const char* type : {"CODE-39", "CODE-128", "EAN-13", "ISBN-13"})
        EXPECT_FALSE(IsAccepted(type, DROP_TYPES)) << type;
    for (const char* type : {"UPC-A", "I2/5", "CODE-93", "EAN-8", "ISBN-10", "DataBar", "PDF417"})
        EXPECT_FALSE(IsAccepted(type, CAMERA_TYPES)) << type;
}

TEST(AcceptLists, OnlyExactEqualityCounts)
{
    for (const char* near : {"qr-code", "QR-CODE", "QR-Code ", " QR-Code", "QR", "QR-Code2", "codabar", "Code-128", ""})
        EXPECT_FALSE(IsAccepted(near, CAMERA_TYPES)) << '"' << near << '"';
    EXPECT_FALSE(IsAccepted(std::string_view("QR-Code\0", 8), CAMERA_TYPES));
}
