// The list's current item follows an image changed in place.

#include "raster/LeadImage.h"

namespace raster {

void TLEADImage::StoreCurrentItem()
{
    if (hasList_ && BitmapListIndex >= 0 && BitmapListIndex < static_cast<int>(list_.size()))
        list_[static_cast<std::size_t>(BitmapListIndex)] = Bitmap;
}

} // namespace raster
