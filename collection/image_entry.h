#pragma once

#include "draw/image.h"

#include <QString>

#include <memory>

namespace collection {

// One picture of the collection: its file, its thumbnail (fitting 96 x 96) and the size of
// the full picture.
struct CImgThumb {
    QString m_strPath;
    std::unique_ptr<draw::CImg> m_pImg;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// Thumbnails fit a square box of this side.
inline constexpr int kThumbnailBox = 96;

} // namespace collection
