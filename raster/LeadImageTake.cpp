// The control takes an image that did not come from a file load.

#include "raster/LeadImage.h"

namespace raster {

void TLEADImage::TakeImage(const platform::imaging::Bitmap &image)
{
    list_ = {image};
    hasList_ = true;
    BitmapListIndex = 0;
    Bitmap = image;
    HasBitmap = true;
}

void TLEADImage::TakeList(const platform::imaging::BitmapList &items)
{
    list_ = items;
    hasList_ = true;
    BitmapListIndex = 0;
    HasBitmap = !items.empty();
    Bitmap = HasBitmap ? items.front() : platform::imaging::Bitmap{};
}

void TLEADImage::StoreCurrentItem()
{
    if (hasList_ && BitmapListIndex >= 0 && BitmapListIndex < static_cast<int>(list_.size()))
        list_[static_cast<std::size_t>(BitmapListIndex)] = Bitmap;
}

} // namespace raster
