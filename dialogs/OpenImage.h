#pragma once
// The map window's "Открыть изображение": picture files and registration
// files (world files, ".tab", ".rtr") chosen together become raster objects
// of the current image layer. A registration file places its picture by its
// points; a plain picture with a world file beside it is placed by that
// file; any other is fitted into the window, placed at a scale or
// registered by hand, as the user chooses. A registration file whose
// numbers are no numbers places nothing and is named. The view then zooms
// to the last picture placed.

#include <QStringList>

class MapControlCore;

namespace dialogs {

// Asks for the files (several at once) and places them.
void OpenImages(MapControlCore &map);
// Places the files in turn.
void OpenImageFiles(MapControlCore &map, const QStringList &files);

// The open dialog's filter, which the image list's picture change uses too.
QString openImageFilter();

} // namespace dialogs
