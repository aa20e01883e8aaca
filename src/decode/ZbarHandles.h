#pragma once
// Owners of ZBar's C objects. Declared in the order of creation, so that leaving a scope
// releases the symbol set, then the scanner, then the image.

#include <zbar.h>

#include <memory>

struct ZbarImageRelease {
    void operator()(zbar::zbar_image_t* image) const { zbar::zbar_image_ref(image, -1); }
};
struct ZbarScannerRelease {
    void operator()(zbar::zbar_image_scanner_t* scanner) const { zbar::zbar_image_scanner_destroy(scanner); }
};
struct ZbarSymbolSetRelease {
    void operator()(const zbar::zbar_symbol_set_t* set) const { zbar::zbar_symbol_set_ref(set, -1); }
};

using ZbarImage = std::unique_ptr<zbar::zbar_image_t, ZbarImageRelease>;
using ZbarScanner = std::unique_ptr<zbar::zbar_image_scanner_t, ZbarScannerRelease>;
// Holds one reference on a result set for as long as the set is walked.
using ZbarSymbolSetRef = std::unique_ptr<const zbar::zbar_symbol_set_t, ZbarSymbolSetRelease>;
